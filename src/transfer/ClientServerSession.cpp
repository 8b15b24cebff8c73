// The connection session: discovery, the choice of phone, typed addresses, connection events.
#include "net/DnsSdLibrary.h"
#include "net/GameClient.h"
#include "net/GamePeer.h"
#include "net/NSNetServicesWrapper.h"
#include "net/NetworkThread.h"
#include "platform/MainThread.h"
#include "support/ParoxLog.h"
#include "transfer/ClientServerController.h"
#include "transfer/ClientServerHost.h"
#include "transfer/ResponseSlot.h"

#include <QCoreApplication>
#include <QStringList>

namespace vantle {
namespace {

const char kCheckNetworking[] = "Check your networking configuration.";
const char kUnableToSearchTitle[] =
    QT_TRANSLATE_NOOP("vantle::ClientServerController", "Unable To Search For iPhones");
const char kUnableToConnectTitle[] =
    QT_TRANSLATE_NOOP("vantle::ClientServerController", "Unable To Connect");
const char kUnableToConnectMessage[] = QT_TRANSLATE_NOOP(
    "vantle::ClientServerController",
    "Unable to connect to the specified address.  Ensure that your iPhone is turned on and the "
    "Vantle iPhone application is open.");

QString describePeers(const std::optional<std::vector<std::shared_ptr<GamePeer>>>& peers) {
    if (!peers) return QStringLiteral("(null)");
    QStringList items;
    for (const auto& peer : *peers)
        items << peer->description();
    return QStringLiteral("(") + items.join(QStringLiteral(", ")) + QStringLiteral(")");
}

} // namespace

ClientServerController::ClientServerController(ClientServerHost& host, ResponseSlot& responses,
                                               const TransferTimeouts& timeouts)
    : mHost(host), mResponses(responses), mTimeouts(timeouts),
      mMainContext(std::make_unique<QObject>()), mDispatcher(nullptr) {
    if (auto* app = QCoreApplication::instance()) mMainContext->moveToThread(app->thread());
}

ClientServerController::~ClientServerController() {
    // The client forgets us once its callbacks in flight have returned; the hand-offs they
    // queued die with the context.
    if (auto client = _client.exchange(nullptr)) client->setDelegate(nullptr);
    mMainContext.reset();
    _peer.store(nullptr);
}

void ClientServerController::setRequestDispatcher(RequestDispatcher* dispatcher) {
    mDispatcher = dispatcher;
}

void ClientServerController::onMainThread(std::function<void()> work) {
    runOn(mMainContext.get(), std::move(work));
}

bool ClientServerController::connected() const {
    const auto client = _client.load();
    return client && client->haveAConnectedServer();
}

bool ClientServerController::connectedOrConnecting() const {
    const auto client = _client.load();
    return client && client->connectedOrConnectingToAServer();
}

void ClientServerController::_showAlertWithTitle(const QString& title, const QString& message) {
    ParoxLog("%@ %@", title, message);
    onMainThread([this, title, message] { mHost.logAlert(title, message); });
}

void ClientServerController::startClient() {
    ParoxLog("startClient");
    if (_client.load()) {
        ParoxLog("startClient: the client exists already");
        return;
    }
    auto client = GameClient::create();
    if (!client) {
        _showAlertWithTitle(QStringLiteral("Failed creating client"),
                            QLatin1String(kCheckNetworking));
        return;
    }
    client->setDelegate(this);
    _client.store(client);
    // Connections need the network thread's loop before the first one is made.
    startNetworkThread();
    if (mHost.shouldAutoConnect()) startAutoConnect();
}

bool ClientServerController::startLookingForServers() {
    ParoxLog("startLookingForServers");
    const auto client = _client.load();
    if (!client) {
        ParoxLog("startLookingForServers: no client");
        return false;
    }
    // A restart that finds the search already running (turned on again meanwhile) is no failure.
    if (client->isDiscoveringServers()) return true;
    const bool started =
        client->startDiscoveringServersWithIdentifier(QLatin1String(kVantleServiceIdentifier));
    if (!started)
        _showAlertWithTitle(QStringLiteral("Failed discovering servers"),
                            QLatin1String(kCheckNetworking));
    return started;
}

bool ClientServerController::startAutoConnect() {
    ParoxLog("startAutoConnect");
    if (startLookingForServers()) return true;
    mHost.showAlert(
        QCoreApplication::translate("vantle::ClientServerController", kUnableToSearchTitle),
        dnsSdDaemonDownMessage());
    return false;
}

void ClientServerController::stopLookingForServers() {
    ParoxLog("stopLookingForServers");
    if (const auto client = _client.load()) client->stopDiscoveringServers();
}

void ClientServerController::doRestartAutoConnect() {
    ParoxLog("doRestartAutoConnect");
    if (mHost.suspendLookingForServers() || !mHost.shouldAutoConnect()) return;
    performAfterDelay(mMainContext.get(), static_cast<int>(mTimeouts.restartAutoConnect.count()),
                      [this] { startAutoConnect(); });
}

AddServerResult ClientServerController::addServer(const QString& text) {
    const auto wrapper = NSNetServicesWrapper::wrapperWithIP(text);
    return wrapper ? addServer(*wrapper) : AddServerResult::InvalidAddress;
}

AddServerResult ClientServerController::addServer(NSNetServicesWrapper address) {
    const auto client = _client.load();
    if (!client) {
        ParoxLog("addServer: no client");
        return AddServerResult::CouldNotConnect;
    }
    if (client->connectedOrConnectingToAServer()) {
        ParoxLog("addServer: We're already connected");
        return AddServerResult::Connecting;
    }
    const auto server = GamePeer::createWithService(address);
    if (!server) return AddServerResult::CouldNotMakePeer;
    if (client->connectToServer(server)) {
        ParoxLog("Connecting to %@...", server->description());
        return AddServerResult::Connecting;
    }
    ParoxLog("Error connecting to %@...", server->description());
    return AddServerResult::CouldNotConnect;
}

void ClientServerController::showConnectError() {
    mHost.setStatusToConnectionStatus();
    mHost.showAlert(
        QCoreApplication::translate("vantle::ClientServerController", kUnableToConnectTitle),
        QCoreApplication::translate("vantle::ClientServerController", kUnableToConnectMessage));
}

std::uint32_t ClientServerController::implementedCallbacks() const {
    return kDidStartDiscoveringServers | kDidUpdateOnlineServers | kWillStopDiscoveringServers |
           kDidFailConnectingToServer | kDidConnectToServer | kDidReceiveData |
           kDidDisconnectFromServer;
}

void ClientServerController::gameClientDidStartDiscoveringServers(GameClient*) {
    mHost.startedDiscovery();
    ParoxLog("gameClientDidStartDiscoveringServers");
}

void ClientServerController::gameClientWillStopDiscoveringServers(GameClient*) {
    ParoxLog("gameClientWillStopDiscoveringServers");
}

void ClientServerController::gameClientDidUpdateOnlineServers(GameClient* client) {
    const auto online = client->onlineServers();
    ParoxLog("gameClientDidUpdateOnlineServers %@", describePeers(online));
    if (client->connectedOrConnectingToAServer()) {
        ParoxLog("We're already connected");
        return;
    }
    if (peer() || !online) return;
    for (const auto& server : *online) {
        if (client->connectedOrConnectingToAServer()) return;
        const QString address = server->address().value_or(QString());
        if (mHost.isIgnored(address)) {
            ParoxLog("ignoring %@", address);
            continue;
        }
        if (client->connectToServer(server)) {
            ParoxLog("Connecting to %@...", server->description());
            return;
        }
        _showAlertWithTitle(QStringLiteral("Failed initiating connection to server"),
                            QLatin1String(kCheckNetworking));
    }
}

void ClientServerController::gameClientDidConnectToServer(GameClient* client,
                                                          const std::shared_ptr<GamePeer>& server) {
    ParoxLog("didConnectToServer");
    mMakingRequest = false;
    std::shared_ptr<GamePeer> none;
    if (_peer.compare_exchange_strong(none, server)) {
        ParoxLog("peer is %p", server.get());
        client->stopDiscoveringServers();
    }
    onMainThread([this] { mHost.setStatusToConnectionStatus(); });
}

void ClientServerController::gameClientDidFailConnectingToServer(
    GameClient*, const std::shared_ptr<GamePeer>& server) {
    if (server->uniqueID() == NSNetServicesWrapper::kManualUniqueID)
        onMainThread([this] { showConnectError(); });
}

void ClientServerController::gameClientDidReceiveData(GameClient*, const QByteArray& payload,
                                                      const std::shared_ptr<GamePeer>& server,
                                                      bool) {
    gotData(payload, server);
}

void ClientServerController::gameClientDidDisconnectFromServer(
    GameClient*, const std::shared_ptr<GamePeer>& server) {
    ParoxLog("gameClient didDisconnectFromServer");
    mMakingRequest = false;
    std::shared_ptr<GamePeer> ours = server;
    const bool wasOurs = _peer.compare_exchange_strong(ours, nullptr);
    // What it said while a request was in flight would otherwise reach the next connection.
    dropDelayedNotificationsOf(server);
    // May run on a requesting thread: only wake the waits and hand the rest to the main thread.
    mResponses.wakeWaiters();
    mRequestLock.wake();
    onMainThread([this] { mHost.setStatusToConnectionStatus(); });
    if (wasOurs) onMainThread([this] { doRestartAutoConnect(); });
}

} // namespace vantle
