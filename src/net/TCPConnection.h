#pragma once

#include "net/FrameReader.h"
#include "net/SocketAddress.h"
#include "net/TCPConnectionDelegate.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
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
    using Clock = std::chrono::steady_clock;
    // A write that moves no byte for this long gives up and closes the connection: a phone that
    // stops reading must not hold the writing thread, which may be the network thread.
    static constexpr std::chrono::milliseconds kWriteStallLimit{10'000};
    // How long receiveData waits for a frame unless told otherwise.
    static constexpr std::chrono::milliseconds kDefaultReceiveTimeout{10'000};

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
    // Writes one whole frame, blocking while the socket is full. Waiting behind another writer
    // counts against the stall limit; any byte moved on the connection renews it.
    bool sendData(const QByteArray& payload);
    // Shortens (tests) or lengthens the stall limit of this connection's writes.
    void setWriteStallLimit(std::chrono::milliseconds limit);
    // Reads one frame on the calling thread, claiming the read side for the call. None when no
    // whole frame comes within `timeout`; the connection stays up then, and a frame cut off by
    // the time-out is finished and delivered by the event path. A caller that expects an answer
    // to something it sends claims the read side before sending, or the event path may take it.
    std::optional<QByteArray>
    receiveData(std::chrono::milliseconds timeout = kDefaultReceiveTimeout);
    bool hasDataAvailable() const;
    // Keeps the network thread off the socket until the claim is dropped, so that an answer the
    // caller is about to read with receiveData cannot be taken by the event path first. Claims
    // nest on one thread.
    class ReadClaim {
    public:
        explicit ReadClaim(TCPConnection& connection,
                           std::optional<Clock::time_point> deadline = std::nullopt);
        ~ReadClaim();
        ReadClaim(const ReadClaim&) = delete;
        ReadClaim& operator=(const ReadClaim&) = delete;
        // False when another reader kept the read side past the deadline.
        bool holds() const { return mLock.owns_lock(); }

    private:
        std::shared_ptr<TCPConnection> mConnection;
        std::unique_lock<std::recursive_timed_mutex> mLock;
    };
    ReadClaim claimReadSide(std::optional<Clock::time_point> deadline = std::nullopt) {
        return ReadClaim(*this, deadline);
    }
    // Why a connection that was never invalidated by its owner went down; empty while alive.
    QString failureReason() const;
    // The system's error number when the connection failed to open (ECONNREFUSED...); else 0.
    int openError() const { return mOpenError.load(); }
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
    enum class ReadOutcome { Frame, NoData, TimedOut, End, StreamError, Broken };
    enum class WriteOutcome { Written, Stalled, Failed };

    void attach();
    void socketWritable();
    void socketReadable();
    void handleEvent(StreamEvent event, const QString& error = {});
    void initializeConnection();
    // Without `waitUntil` it takes only what has arrived.
    ReadOutcome readFrame(QByteArray& frame, std::optional<Clock::time_point> waitUntil,
                          int& error);
    WriteOutcome writeFrame(const QByteArray& payload, std::size_t& sent);
    WriteOutcome writeFailed(WriteOutcome outcome); // notes why; passes `outcome` on
    WriteOutcome writeLocked(const QByteArray& payload, Clock::time_point start, std::size_t& sent);
    // When a writer that started waiting at `start` gives up, unless a byte moves first.
    Clock::time_point writeDeadline(Clock::time_point start) const;
    void _invalidate();
    void stopWatching();
    void resumeEventReads();
    static std::shared_ptr<TCPConnection> startWatching(std::shared_ptr<TCPConnection> connection);
    std::optional<SocketAddress> addressOf(bool local) const;

    std::shared_ptr<SocketWatch>
        mWatch; // the socket and its notifiers, owned by the network thread
    std::atomic<int> mSocket{-1};
    int mConnectError = 0; // an error the connect call reported at once
    std::atomic<int> mOpenError{0};

    mutable std::mutex mDelegateLock; // the delegate is set from any thread
    std::weak_ptr<TCPConnectionDelegate> _delegate;
    std::uint32_t _delegateMethods = 0;
    // The delegate, when it is still there and implements `callback`.
    std::shared_ptr<TCPConnectionDelegate> delegateFor(std::uint32_t callback) const;
    std::atomic<unsigned> _opened{0};
    mutable std::mutex mAddressLock;
    std::optional<SocketAddress> _localAddress;
    std::optional<SocketAddress> _remoteAddress;
    std::timed_mutex mTCPLock;                     // held while one whole frame is written
    std::atomic<Clock::rep> mLastWriteProgress{0}; // when a write last moved a byte
    std::atomic<bool> mWriteBroken{false};         // a write failed: no frame may follow
    std::atomic<Clock::rep> mWriteStallLimit{
        std::chrono::duration_cast<Clock::duration>(kWriteStallLimit).count()};
    // Held while a frame is read, by the network thread or by a thread that claimed the read side.
    std::recursive_timed_mutex mReadLock;
    FrameReader mReader;
    std::atomic<bool> _invalidating{false};
    bool mEndSeen = false; // network thread only
    mutable std::mutex mFailureLock;
    QString mFailureReason;
    void noteFailure(const QString& reason);
};

} // namespace vantle
