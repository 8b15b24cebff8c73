#pragma once

#include "net/GamePeerDelegate.h"
#include "net/SocketAddress.h"
#include "net/TCPConnection.h"

#include <QString>
#include <QVariant>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace vantle {

class ResolvedService;

// One phone: where it is, who it is, and the framed connection to it while there is one. The PC
// dials, sends its identity first and counts the phone as connected once the phone's identity
// has arrived. Pings are echoed; every other payload goes to the delegate unchanged.
class GamePeer : public TCPConnectionDelegate, public std::enable_shared_from_this<GamePeer> {
    struct PrivateTag {};

public:
    // Why the last connection attempt ended before the handshake completed.
    enum class Failure {
        None,
        CouldNotOpen,          // the connection never opened (refused, unreachable)
        OpenTimedOut,          // the connection had not opened when the handshake limit came
        ClosedDuringHandshake, // it opened, then ended or broke before the phone's identity came
        HandshakeTimedOut,     // the phone sent no identity within the handshake limit
    };

    static constexpr int kDefaultHandshakeTimeoutMs = 10'000;
    static constexpr int kDefaultPingTimeoutMs = 10'000;
    static constexpr double kResolveTimeoutSeconds = 5.0;

    // `name` is the service name "ID:Display name"; none without an address or when the name
    // has no ":". A missing name makes a peer whose identity comes with the handshake.
    static std::shared_ptr<GamePeer> create(const std::optional<QString>& name,
                                            const std::optional<SocketAddress>& address);
    // Resolves the service (5 s at most) and makes a peer from its name and first address.
    static std::shared_ptr<GamePeer> createWithService(ResolvedService& service);

    GamePeer(PrivateTag, const SocketAddress& address);
    ~GamePeer() override;

    std::optional<QString> name() const;
    std::optional<QString> uniqueID() const;
    QVariant infoPlist() const;
    std::shared_ptr<GamePeerDelegate> delegate() const;
    bool isService() const { return _service; }
    bool isServer() const { return _server; }
    bool isLocal() const { return _local; }
    bool isConnecting() const;
    bool isConnected() const;
    const SocketAddress& socketAddress() const { return _address; }
    std::uint32_t IPv4Address() const { return socketAddressIPv4(_address); }
    std::optional<QString> address() const { return socketAddressText(_address); }
    QString description() const;

    void setDelegate(std::weak_ptr<GamePeerDelegate> delegate);
    // False while the end of the last connection is still on its way to the delegate.
    bool connect();
    // Safe from any thread, also from two at once: the delegate hears the outcome once, on this
    // thread; or, when the completed handshake is being reported on another thread right then,
    // on that thread just after that report, so "connected" always comes first.
    void disconnect();
    bool sendData(const QByteArray& payload, bool immediate);
    std::optional<QByteArray>
    receiveData(std::chrono::milliseconds timeout = TCPConnection::kDefaultReceiveTimeout);
    // Seconds for an empty dictionary to come back; -1.0 when it does not come within the ping
    // limit (the connection stays up) or the connection fails.
    double measureRoundTripLatency();
    // The limit for a ping's echo; tests shorten it.
    void setPingTimeout(int ms) { mPingTimeoutMs = ms; }

    // The limit for the phone's identity after connect; tests shorten it.
    void setHandshakeTimeout(int ms) { mHandshakeTimeoutMs = ms; }
    Failure failure() const { return mFailure.load(); }
    // The connection's own words for the failure, such as "Connection refused".
    QString failureDetail() const;
    // With CouldNotOpen, the system's error number (ECONNREFUSED, EHOSTUNREACH...); else 0.
    int failureErrorNumber() const { return mFailureErrorNumber.load(); }

    // TCPConnectionDelegate. Reports of a connection that is not the current one (a connection
    // that has ended, whose reports were already under way) are ignored.
    void connectionDidOpen(TCPConnection* connection) override;
    void connectionDidReceiveData(TCPConnection* connection, const QByteArray& payload) override;
    void connectionDidClose(TCPConnection* connection) override;
    void connectionDidFailOpening(TCPConnection* connection) override;

private:
    enum class State { Idle, Connecting, Connected };
    // The report that the handshake completed, while it is on its way to the delegate. A
    // disconnect from another thread meanwhile leaves its own report to the reporting thread, so
    // that the delegate hears "connected" before "disconnected".
    enum class ConnectReport { None, InFlight, EndedMeanwhile };
    // A connection taken from the peer, with what is to be reported of it.
    struct Ending {
        std::shared_ptr<TCPConnection> connection;
        State was = State::Idle;
        bool reportHere = true;
    };

    void finishConnecting(TCPConnection* connection, const QVariantMap& dictionary);
    void handshakeTimedOut(const std::weak_ptr<TCPConnection>& dialled);
    // Ends the current connection, when it is still `expected` (null: whichever there is).
    void endConnection(const TCPConnection* expected, Failure reason);
    Ending takeConnection(Failure reason); // with mConnectionLock held
    void completeEnding(const Ending& ending);
    void reportEnd(State was);
    std::shared_ptr<TCPConnection> connection() const;
    // An echo that comes after its ping gave up is owed by `connection`; the first empty
    // dictionary from it is taken as that echo, not answered, or the two ends would echo one
    // ping back and forth for good.
    void oweLateEcho(const std::shared_ptr<TCPConnection>& connection);
    bool takeLateEcho(const TCPConnection* connection);

    bool _service = false;
    bool _server = false;
    bool _local = false;
    mutable std::mutex mIdentityLock; // _uniqueID, _name, _plist
    std::optional<QString> _uniqueID;
    std::optional<QString> _name;
    SocketAddress _address{};
    // The state, the connection and the connect report change together under this lock.
    mutable std::mutex mConnectionLock;
    State mState = State::Idle;
    bool mOpened = false; // the current connection's socket has connected
    std::shared_ptr<TCPConnection> _connection;
    ConnectReport mConnectReport = ConnectReport::None;
    std::thread::id mConnectReporter;
    QVariant _plist;
    mutable std::mutex mDelegateLock; // set on one thread, called on others
    std::weak_ptr<GamePeerDelegate> _delegate;

    std::atomic<int> mHandshakeTimeoutMs{kDefaultHandshakeTimeoutMs};
    std::atomic<int> mPingTimeoutMs{kDefaultPingTimeoutMs};
    std::mutex mLateEchoLock;
    std::weak_ptr<TCPConnection> mLateEchoConnection;
    int mLateEchoes = 0;
    std::atomic<Failure> mFailure{Failure::None};
    mutable std::mutex mFailureLock;
    QString mFailureDetail;
    std::atomic<int> mFailureErrorNumber{0};
};

} // namespace vantle
