#pragma once

#include "net/FrameReader.h"
#include "net/SocketAddress.h"
#include "net/TCPConnectionDelegate.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

namespace vantle {

struct SocketWatch;

// One TCP connection to a phone carrying length-framed payloads both ways. Socket events arrive on
// the network thread (gClientRunloop); sendData may be called from any thread and blocks until the
// whole frame is written. Exactly one of connectionDidClose / connectionDidFailOpening is sent in
// a connection's life, by the thread that invalidates it.
class TCPConnection : public std::enable_shared_from_this<TCPConnection> {
    struct PrivateTag {};

public:
    enum class StreamEvent : unsigned {
        OpenCompleted = 1,
        HasBytesAvailable = 2,
        HasSpaceAvailable = 4,
        ErrorOccurred = 8,
        EndEncountered = 16,
    };

    // Starts opening a connection; null when no socket could be made. A delegate given here is
    // in place before the network thread can see the socket: a loopback dial can open before
    // the caller gets round to setDelegate, and that open would be reported to nobody.
    static std::shared_ptr<TCPConnection>
    create(const SocketAddress& remoteAddress, std::weak_ptr<TCPConnectionDelegate> delegate = {});
    // Takes over a socket that is already connected (the accepting end of a test or a tool); it
    // counts as open at once and reports the open from a timer, like a socket connected at once.
    static std::shared_ptr<TCPConnection> adopt(int connectedSocket,
                                                std::weak_ptr<TCPConnectionDelegate> delegate = {});
    TCPConnection(PrivateTag, const SocketAddress& remoteAddress);
    TCPConnection(PrivateTag, int connectedSocket);
    ~TCPConnection();
    TCPConnection(const TCPConnection&) = delete;
    TCPConnection& operator=(const TCPConnection&) = delete;

    void setDelegate(std::weak_ptr<TCPConnectionDelegate> delegate);
    std::shared_ptr<TCPConnectionDelegate> delegate() const;

    bool isValid() const;
    bool sendData(const QByteArray& payload);
    // Reads one frame on the calling thread, waiting as long as it takes. Meant for a thread that
    // owns the read side for that moment; the network thread leaves the socket alone meanwhile.
    std::optional<QByteArray> receiveData();
    bool hasDataAvailable() const;
    // Keeps the network thread off the socket until the claim is dropped, so that an answer the
    // caller is about to read with receiveData cannot be taken by the event path first.
    class ReadClaim {
    public:
        explicit ReadClaim(TCPConnection& connection);
        ~ReadClaim();
        ReadClaim(const ReadClaim&) = delete;
        ReadClaim& operator=(const ReadClaim&) = delete;

    private:
        std::shared_ptr<TCPConnection> mConnection;
        std::unique_lock<std::recursive_mutex> mLock;
    };
    ReadClaim claimReadSide() { return ReadClaim(*this); }
    // Why a connection that was never invalidated by its owner went down; empty while alive.
    QString failureReason() const;
    void invalidate();

    std::uint16_t localPort() const;
    std::uint16_t remotePort() const;
    std::uint32_t localIPv4Address() const;
    std::uint32_t remoteIPv4Address() const;
    std::optional<QString> localAddress() const;
    std::optional<QString> remoteAddress() const;
    std::optional<SocketAddress> remoteSocketAddress() const;
    static std::uint16_t remotePort(const SocketAddress& address);
    static std::optional<QString> remoteAddress(const SocketAddress& address);

    QString description() const;

private:
    enum class ReadOutcome { Frame, NoData, End, StreamError, Broken };

    void attach();
    void socketWritable();
    void socketReadable();
    void handleEvent(StreamEvent event, const QString& error = {});
    void initializeConnection();
    ReadOutcome readFrame(QByteArray& frame, bool wait, int& error);
    void _invalidate();
    void stopWatching();
    void resumeEventReads();
    static std::shared_ptr<TCPConnection> startWatching(std::shared_ptr<TCPConnection> connection);
    std::optional<SocketAddress> addressOf(bool local) const;

    std::shared_ptr<SocketWatch>
        mWatch; // the socket and its notifiers, owned by the network thread
    std::atomic<int> mSocket{-1};
    int mConnectError = 0; // an error the connect call reported at once
    SocketAddress mTarget{};

    mutable std::mutex mDelegateLock; // the delegate is set from any thread
    std::weak_ptr<TCPConnectionDelegate> _delegate;
    std::uint32_t _delegateMethods = 0;
    // The delegate, when it is still there and implements `callback`.
    std::shared_ptr<TCPConnectionDelegate> delegateFor(std::uint32_t callback) const;
    std::atomic<unsigned> _opened{0};
    mutable std::mutex mAddressLock;
    std::optional<SocketAddress> _localAddress;
    std::optional<SocketAddress> _remoteAddress;
    std::mutex mTCPLock; // held while one whole frame is written
    // Held while a frame is read, by the network thread or by a thread that claimed the read side.
    std::recursive_mutex mReadLock;
    FrameReader mReader;
    std::atomic<bool> _invalidating{false};
    bool mEndSeen = false; // network thread only
    mutable std::mutex mFailureLock;
    QString mFailureReason;
    void noteFailure(const QString& reason);
};

} // namespace vantle
