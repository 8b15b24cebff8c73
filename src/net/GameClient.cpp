#include "net/GameClient.h"

#include "net/GamePeer.h"
#include "net/NetServiceBrowser.h"
#include "net/NetUtilities.h"
#include "platform/MainThread.h"
#include "support/ParoxLog.h"

#include <QThread>
#include <algorithm>

namespace vantle {
namespace {

constexpr std::uint32_t kHashMultiplier = 65599;

// Connecting, connected and service-made peers are the ones worth keeping in a listing.
int listingWeight(const GamePeer& peer) {
    int weight = 0;
    if (peer.isConnecting() || peer.isConnected()) weight += 2;
    if (peer.isService()) weight += 1;
    return weight;
}

// A peer reports from its destructor too, when nobody holds it any more; then it is in no set.
std::shared_ptr<GamePeer> retained(GamePeer* peer) {
    return peer->weak_from_this().lock();
}

} // namespace

QString _ApplicationProtocolFromGameIdentifier(const QString& identifier) {
    std::uint32_t h = 0;
    for (const char byte : identifier.toUtf8())
        h = h * kHashMultiplier +
            static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(byte)));
    return QStringLiteral("GAME-%1").arg(h, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<QString> serviceTypeForGameIdentifier(const QString& identifier) {
    return _MakeServiceType(_ApplicationProtocolFromGameIdentifier(identifier),
                            QLatin1String(NetServiceBrowser::kTCPTransport));
}

std::shared_ptr<GameClient> GameClient::create(const std::optional<QString>& name,
                                               const std::optional<QVariant>& infoPlist) {
    return std::make_shared<GameClient>(PrivateTag{}, name, infoPlist);
}

GameClient::GameClient(PrivateTag, const std::optional<QString>& name,
                       const std::optional<QVariant>& infoPlist)
    : _name(name && !name->isEmpty() ? *name : HostGetName()), _plist(infoPlist) {}

GameClient::~GameClient() {
    ParoxLog("GameClient dealloc");
    // No callback may reach a delegate while its client is going away.
    setDelegate(nullptr);
    stopDiscovering(false);
    std::vector<PeerPtr> peers;
    {
        std::lock_guard lock(mLock);
        peers.assign(_connectingServers.begin(), _connectingServers.end());
        peers.insert(peers.end(), _connectedServers.begin(), _connectedServers.end());
        _connectingServers.clear();
        _connectedServers.clear();
    }
    for (const PeerPtr& peer : peers) {
        peer->setDelegate({});
        peer->disconnect();
    }
}

GameClientDelegate* GameClient::delegate() const {
    std::lock_guard lock(mDelegateLock);
    return _delegate;
}

void GameClient::setDelegate(GameClientDelegate* delegate) {
    const std::uint32_t methods = delegate ? delegate->implementedCallbacks() : 0;
    {
        std::lock_guard lock(mDelegateLock);
        _delegate = delegate;
        _delegateMethods = methods;
    }
    // A callback that took the old delegate before the change may still be running.
    mCallbacks.waitForCallbacksInFlight();
}

template <class Call> void GameClient::notify(GameClientDelegate::Callback callback, Call&& call) {
    sendThroughGate(mCallbacks, mDelegateLock, _delegate, _delegateMethods, callback,
                    std::forward<Call>(call));
}

bool GameClient::isDiscoveringServers() const {
    std::lock_guard lock(mLock);
    return _onlineServers.has_value();
}

bool GameClient::startDiscoveringServersWithIdentifier(const QString& identifier) {
    ParoxLog("startDiscoveringServersWithIdentifier");
    {
        std::lock_guard lock(mLock);
        if (_onlineServers || identifier.isEmpty()) return false;
        _onlineServers.emplace();
    }
    auto browser = NetServiceBrowser::createTCPBrowser(
        std::nullopt, _ApplicationProtocolFromGameIdentifier(identifier));
    {
        std::lock_guard lock(mLock);
        if (!browser) {
            _onlineServers.reset();
            return false;
        }
        _browser = browser.get();
    }
    browser->setDelegate(this);
    ParoxLog("going to start NetServicesBrowser");
    const bool started = browser->startUsingRunLoop(QThread::currentThread());
    mDiscoveryError = browser->browseError();
    if (!started) {
        ParoxLog("startUsingRunLoop failed");
        std::lock_guard lock(mLock);
        _browser = nullptr;
        _onlineServers.reset();
        return false;
    }
    browser.release();
    notify(GameClientDelegate::kDidStartDiscoveringServers,
           [&](GameClientDelegate& d) { d.gameClientDidStartDiscoveringServers(this); });
    return true;
}

void GameClient::stopDiscoveringServers() {
    ParoxLog("stopDiscoveringServers");
    stopDiscovering(true);
}

void GameClient::stopDiscovering(bool announce) {
    if (!isDiscoveringServers()) return;
    if (announce)
        notify(GameClientDelegate::kWillStopDiscoveringServers,
               [&](GameClientDelegate& d) { d.gameClientWillStopDiscoveringServers(this); });
    NetServiceBrowser* browser = nullptr;
    OnlineTable dropped;
    {
        std::lock_guard lock(mLock);
        browser = std::exchange(_browser, nullptr);
        if (_onlineServers) dropped = std::move(*_onlineServers);
        _onlineServers.reset();
    }
    if (browser) discardBrowser(browser);
    // `dropped` releases the online peers here, outside the lock; connecting and connected ones
    // stay in their sets.
}

void GameClient::discardBrowser(NetServiceBrowser* browser) {
    // The browser, its timer and its library operations belong to the thread that started
    // discovery, which may be polling them right now; a stop from elsewhere (the network thread,
    // once a phone has connected) ends them there. Until then its reports find no online table.
    if (browser->thread() != QThread::currentThread()) {
        // Before this client may go: a report under way there is waited for.
        browser->setDelegate(nullptr);
        runOn(browser, [browser] {
            browser->stop();
            browser->deleteLater();
        });
        return;
    }
    browser->setDelegate(nullptr);
    browser->stop();
    const bool onItsThread = browser->thread() == QThread::currentThread();
    if (onItsThread && mInBrowserCallback == 0)
        delete browser;
    else
        browser->deleteLater();
}

std::uint32_t GameClient::implementedCallbacks() const {
    return NetServiceBrowserDelegate::kBrowserDidAddService |
           NetServiceBrowserDelegate::kBrowserDidRemoveService;
}

void GameClient::browserDidAddService(NetServiceBrowser* browser,
                                      const NSNetServicesWinDNS& service) {
    ++mInBrowserCallback;
    NSNetServicesWinDNS resolved = service;
    PeerPtr peer = GamePeer::createWithService(resolved);
    if (!peer) {
        ParoxLog("Failed creating GamePeer from %@", service);
        --mInBrowserCallback;
        return;
    }
    bool stored = false;
    {
        std::lock_guard lock(mLock);
        // A browser that is being discarded may still report before it stops.
        if (_onlineServers && browser == _browser) {
            auto same = std::find_if(_onlineServers->begin(), _onlineServers->end(),
                                     [&](const auto& entry) { return entry.first == service; });
            if (same != _onlineServers->end())
                *same = {service, peer};
            else
                _onlineServers->emplace_back(service, peer);
            stored = true;
        }
    }
    if (stored)
        notify(GameClientDelegate::kDidUpdateOnlineServers,
               [&](GameClientDelegate& d) { d.gameClientDidUpdateOnlineServers(this); });
    --mInBrowserCallback;
}

void GameClient::browserDidRemoveService(NetServiceBrowser* browser,
                                         const NSNetServicesWinDNS& service) {
    ++mInBrowserCallback;
    PeerPtr removed; // released outside the lock
    {
        std::lock_guard lock(mLock);
        if (!_onlineServers || browser != _browser) {
            --mInBrowserCallback;
            return;
        }
        auto same = std::find_if(_onlineServers->begin(), _onlineServers->end(),
                                 [&](const auto& entry) { return entry.first == service; });
        if (same != _onlineServers->end()) {
            removed = same->second;
            _onlineServers->erase(same);
        }
    }
    notify(GameClientDelegate::kDidUpdateOnlineServers,
           [&](GameClientDelegate& d) { d.gameClientDidUpdateOnlineServers(this); });
    --mInBrowserCallback;
}

std::optional<std::vector<GameClient::PeerPtr>> GameClient::onlineServers() const {
    std::lock_guard lock(mLock);
    if (!_onlineServers) return std::nullopt;
    std::vector<PeerPtr> list;
    for (const auto& [service, peer] : *_onlineServers) {
        const auto id = peer->uniqueID();
        auto same = std::find_if(list.begin(), list.end(),
                                 [&](const PeerPtr& listed) { return listed->uniqueID() == id; });
        if (same == list.end()) {
            list.push_back(peer);
            continue;
        }
        // One phone seen at two addresses (an old one whose removal never came): list it once.
        // Of equal weight the later-found entry wins: a phone that restarted on a new port is
        // found again before the daemon drops its old address, which no longer answers.
        ParoxLog("onlineServers: %@ and %@ share the unique ID %@", (*same)->description(),
                 peer->description(), id.value_or(QStringLiteral("(null)")));
        if (listingWeight(*peer) >= listingWeight(**same)) *same = peer;
    }
    return list;
}

std::vector<GameClient::PeerPtr> GameClient::connectingServers() const {
    std::lock_guard lock(mLock);
    return {_connectingServers.begin(), _connectingServers.end()};
}

std::vector<GameClient::PeerPtr> GameClient::connectedServers() const {
    std::lock_guard lock(mLock);
    return {_connectedServers.begin(), _connectedServers.end()};
}

bool GameClient::connectedOrConnectingToAServer() const {
    std::lock_guard lock(mLock);
    return !_connectingServers.empty() || !_connectedServers.empty();
}

bool GameClient::haveAConnectedServer() const {
    std::lock_guard lock(mLock);
    return !_connectedServers.empty();
}

bool GameClient::inEitherSet(const PeerPtr& server) const {
    std::lock_guard lock(mLock);
    return _connectingServers.count(server) || _connectedServers.count(server);
}

bool GameClient::connectToServer(const PeerPtr& server) {
    if (!server) {
        ParoxLog("connectToServer: server is nil");
        return false;
    }
    {
        std::lock_guard lock(mLock);
        if (server->isConnected() || _connectedServers.count(server)) {
            ParoxLog("connectToServer: server is already connected");
            return false;
        }
        if (server->isConnecting() || _connectingServers.count(server)) {
            ParoxLog("connectToServer: server is already connecting");
            return false;
        }
        // In the set and the peer's delegate before the connection exists: the handshake may
        // finish on the network thread before connect() has even returned here.
        _connectingServers.insert(server);
    }
    server->setDelegate(weak_from_this());
    if (!server->connect()) {
        ParoxLog("connectToServer: connect failed");
        server->setDelegate({});
        std::lock_guard lock(mLock);
        _connectingServers.erase(server);
        return false;
    }
    ParoxLog("adding connecting server");
    return true;
}

void GameClient::disconnectFromServer(const PeerPtr& server) {
    ParoxLog("GameClient disconnectFromServer");
    if (server && inEitherSet(server)) server->disconnect();
}

bool GameClient::sendData(const QByteArray& payload, const PeerPtr& server, bool immediate) {
    {
        std::lock_guard lock(mLock);
        if (!server || !_connectedServers.count(server)) return false;
    }
    return server->sendData(payload, immediate);
}

std::optional<QByteArray> GameClient::receiveDataFrom(const PeerPtr& server,
                                                      std::chrono::milliseconds timeout) {
    if (!server || !server->isConnected()) return std::nullopt;
    return server->receiveData(timeout);
}

double GameClient::measureRoundTripLatencyToServer(const PeerPtr& server) {
    constexpr double kNotConnected = -1.0;
    if (!server || !server->isConnected()) return kNotConnected;
    return server->measureRoundTripLatency();
}

GameClient::PeerPtr GameClient::serverWithIPv4Address(std::uint32_t ipv4, std::uint16_t port) {
    return GamePeer::create(std::nullopt, makeSocketAddress(ipv4, port));
}

QString GameClient::gamePeerWillSendName(GamePeer*) {
    return _name;
}

std::optional<QVariant> GameClient::gamePeerWillSendInfoPlist(GamePeer*) {
    return _plist;
}

void GameClient::gamePeerDidConnect(GamePeer* peer) {
    const PeerPtr server = retained(peer);
    ParoxLog("gamePeerDidConnect: removing connecting server");
    if (!server) return;
    bool wasConnecting = false;
    {
        std::lock_guard lock(mLock);
        wasConnecting = _connectingServers.erase(server) > 0;
        if (wasConnecting) _connectedServers.insert(server);
    }
    if (!wasConnecting) {
        // Not an attempt of ours (its end was already reported): a peer connected behind the
        // client's back would be listed nowhere and never let go.
        ParoxLog("gamePeerDidConnect: %@ was not connecting; disconnecting it",
                 server->description());
        server->setDelegate({});
        server->disconnect();
        return;
    }
    notify(GameClientDelegate::kDidConnectToServer,
           [&](GameClientDelegate& d) { d.gameClientDidConnectToServer(this, server); });
}

void GameClient::gamePeerDidFailConnecting(GamePeer* peer) {
    const PeerPtr server = retained(peer);
    ParoxLog("gamePeerDidFailConnecting: removing connecting server");
    if (!server) return;
    if (!forget(server, _connectingServers)) {
        ParoxLog("gamePeerDidFailConnecting: %@ was not connecting", server->description());
        return;
    }
    notify(GameClientDelegate::kDidFailConnectingToServer,
           [&](GameClientDelegate& d) { d.gameClientDidFailConnectingToServer(this, server); });
}

void GameClient::gamePeerDidDisconnect(GamePeer* peer) {
    const PeerPtr server = retained(peer);
    ParoxLog("gamePeerDidDisconnect");
    if (!server) return;
    if (!forget(server, _connectedServers)) {
        ParoxLog("gamePeerDidDisconnect: %@ was not connected", server->description());
        return;
    }
    notify(GameClientDelegate::kDidDisconnectFromServer,
           [&](GameClientDelegate& d) { d.gameClientDidDisconnectFromServer(this, server); });
}

bool GameClient::forget(const PeerPtr& server, std::unordered_set<PeerPtr>& set) {
    std::lock_guard lock(mLock);
    if (set.erase(server) == 0) return false;
    // Before the delegate hears of it: a delegate that connects the peer again from inside the
    // callback sets it anew.
    server->setDelegate({});
    return true;
}

void GameClient::gamePeerDidReceiveData(GamePeer* peer, const QByteArray& payload, bool immediate) {
    const PeerPtr server = retained(peer);
    if (!server) return;
    notify(GameClientDelegate::kDidReceiveData, [&](GameClientDelegate& d) {
        d.gameClientDidReceiveData(this, payload, server, immediate);
    });
}

} // namespace vantle
