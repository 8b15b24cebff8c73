#pragma once

#include "net/CallbackGate.h"
#include "net/DnsSd.h"
#include "net/GameClientDelegate.h"
#include "net/GamePeerDelegate.h"
#include "net/NSNetServicesWinDNS.h"
#include "net/NetServiceBrowserDelegate.h"

#include <QString>
#include <QVariant>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_set>
#include <utility>
#include <vector>

namespace vantle {

class NetServiceBrowser;

// The identifier phones are discovered by.
inline constexpr char kVantleServiceIdentifier[] = "VantleService";

// "GAME-%08X" of the identifier's UTF-8 bytes, each taken as a signed byte: h = h * 65599 + b.
QString _ApplicationProtocolFromGameIdentifier(const QString& identifier);

// "_GAME-3025F862._tcp." for "abc": the DNS-SD service type phones of an identifier advertise.
std::optional<QString> serviceTypeForGameIdentifier(const QString& identifier);

// The PC's entry point to phones: the phones seen on the network (while discovery is on), the
// ones being connected to and the connected ones. It is the delegate of its browser and of every
// peer it connects. Discovery runs on the thread that starts it; peer callbacks arrive on the
// network thread; sends, disconnects and stopping discovery may come from any thread (it is
// destroyed on the thread that started discovery). The collections are guarded by one lock that
// is never held while the delegate is called or a peer connects or disconnects.
class GameClient : public GamePeerDelegate,
                   public NetServiceBrowserDelegate,
                   public std::enable_shared_from_this<GameClient> {
    struct PrivateTag {};

public:
    using PeerPtr = std::shared_ptr<GamePeer>;

    // An empty or missing name announces the computer's host name.
    static std::shared_ptr<GameClient>
    create(const std::optional<QString>& name = std::nullopt,
           const std::optional<QVariant>& infoPlist = std::nullopt);
    GameClient(PrivateTag, const std::optional<QString>& name,
               const std::optional<QVariant>& infoPlist);
    ~GameClient() override;
    GameClient(const GameClient&) = delete;
    GameClient& operator=(const GameClient&) = delete;

    QString name() const { return _name; }
    std::optional<QVariant> infoPlist() const { return _plist; }
    GameClientDelegate* delegate() const;
    // Once it returns, no callback reaches the previous delegate: a callback already running on
    // another thread is waited for, so a delegate is cleared (set to null) before it is
    // destroyed, and a callback must never wait for a thread that may be changing the delegate.
    // Called from inside one of this client's callbacks (a delegate clearing itself) it cannot
    // wait, as it would wait for itself: the change holds, but a callback running on another
    // thread at that moment may still reach the old delegate until it returns.
    void setDelegate(GameClientDelegate* delegate);

    bool isDiscoveringServers() const;
    bool startDiscoveringServersWithIdentifier(const QString& identifier);
    // Why the last start of discovery failed in the library; no error when it did not.
    dnssd::DNSServiceErrorType discoveryError() const { return mDiscoveryError.load(); }
    void stopDiscoveringServers();

    // One peer per unique ID; none while discovery is off.
    std::optional<std::vector<PeerPtr>> onlineServers() const;
    std::vector<PeerPtr> connectingServers() const;
    std::vector<PeerPtr> connectedServers() const;
    bool connectedOrConnectingToAServer() const;
    bool haveAConnectedServer() const;

    bool connectToServer(const PeerPtr& server);
    void disconnectFromServer(const PeerPtr& server);
    bool sendData(const QByteArray& payload, const PeerPtr& server, bool immediate);
    std::optional<QByteArray> receiveDataFrom(const PeerPtr& server);
    double measureRoundTripLatencyToServer(const PeerPtr& server);

    // A peer without a name for an IPv4 address and port, both in host order.
    static PeerPtr serverWithIPv4Address(std::uint32_t ipv4, std::uint16_t port);
    QString description() const { return QStringLiteral("GameClient"); }

    // GamePeerDelegate
    QString gamePeerWillSendName(GamePeer* peer) override;
    std::optional<QVariant> gamePeerWillSendInfoPlist(GamePeer* peer) override;
    void gamePeerDidConnect(GamePeer* peer) override;
    void gamePeerDidFailConnecting(GamePeer* peer) override;
    void gamePeerDidDisconnect(GamePeer* peer) override;
    void gamePeerDidReceiveData(GamePeer* peer, const QByteArray& payload, bool immediate) override;

    // NetServiceBrowserDelegate
    std::uint32_t implementedCallbacks() const override;
    void browserDidAddService(NetServiceBrowser* browser,
                              const NSNetServicesWinDNS& service) override;
    void browserDidRemoveService(NetServiceBrowser* browser,
                                 const NSNetServicesWinDNS& service) override;

private:
    using OnlineTable = std::vector<std::pair<NSNetServicesWinDNS, PeerPtr>>;

    // Sends one callback, if the delegate implements it, with the delegate kept from changing
    // under it.
    template <class Call> void notify(GameClientDelegate::Callback callback, Call&& call);
    // Stops discovery; `announce` sends gameClientWillStopDiscoveringServers first.
    void stopDiscovering(bool announce);
    // Ends a browser that may be in the middle of one of its own callbacks.
    void discardBrowser(NetServiceBrowser* browser);
    bool inEitherSet(const PeerPtr& server) const;
    // Takes a peer whose attempt has ended out of `set`; false when it was not there.
    bool forget(const PeerPtr& server, std::unordered_set<PeerPtr>& set);

    const QString _name;
    const std::optional<QVariant> _plist;
    mutable std::mutex mDelegateLock; // _delegate with _delegateMethods, read together
    GameClientDelegate* _delegate = nullptr;
    std::uint32_t _delegateMethods = 0;
    CallbackGate mCallbacks;            // callbacks in flight, waited for when the delegate changes
    mutable std::recursive_mutex mLock; // the two sets, the online table and the browser
    std::unordered_set<PeerPtr> _connectingServers;
    std::unordered_set<PeerPtr> _connectedServers;
    std::optional<OnlineTable> _onlineServers;
    NetServiceBrowser* _browser = nullptr; // owned
    int mInBrowserCallback = 0;            // discovery thread only
    std::atomic<dnssd::DNSServiceErrorType> mDiscoveryError{dnssd::kDNSServiceErr_NoError};
};

} // namespace vantle
