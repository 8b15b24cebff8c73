#include "net/TCPConnection.h"

#include "net/NetUtilities.h"
#include "net/NetworkThread.h"
#include "platform/MainThread.h"
#include "support/ParoxLog.h"

#include <QSocketNotifier>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

namespace vantle {

// The socket and its notifiers. Notifiers are made, disabled and deleted on the network thread
// only, and the socket is closed there after its notifiers are gone.
struct SocketWatch {
    int fd = -1;
    QSocketNotifier* read = nullptr;
    QSocketNotifier* write = nullptr;
    bool closed = false;
};

namespace {

// The open completes on a timer when the socket is connected at once.
constexpr int kOpenTimerMs = 100;
// End and error events tear the connection down after this delay.
constexpr int kEndDelayMs = 100;
// How long one wait inside a blocking read or write lasts before it looks for invalidation.
constexpr int kWaitSliceMs = 100;
// A connection that never stops sending gives the other connections a turn after this much.
constexpr std::size_t kMaxBytesPerEvent = 8u * 1024u * 1024u;
constexpr int kSendLowWaterMark = static_cast<int>(wire::kFrameHeaderSize);

quintptr idOf(const void* object) {
    return reinterpret_cast<quintptr>(object);
}

bool sameThread(QObject* context) {
    return context && QThread::currentThread() == context->thread();
}

void disposeWatch(const std::shared_ptr<SocketWatch>& watch) {
    watch->closed = true;
    for (QSocketNotifier* notifier : {watch->read, watch->write}) {
        if (!notifier) continue;
        notifier->setEnabled(false);
        notifier->deleteLater(); // may be inside its own signal right now
    }
    watch->read = watch->write = nullptr;
    const int fd = std::exchange(watch->fd, -1);
    if (fd >= 0) ::close(fd);
}

using Clock = TCPConnection::Clock;

double secondsIn(Clock::duration span) {
    return std::chrono::duration<double>(span).count();
}

enum class WaitResult { Ready, TimedOut, Stopped };

// Waits until the socket is ready for `events`, the deadline passes or `stop` is set.
WaitResult waitFor(int fd, short events, Clock::time_point deadline,
                   const std::atomic<bool>& stop) {
    for (;;) {
        if (stop.load()) return WaitResult::Stopped;
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return WaitResult::TimedOut;
        pollfd entry{fd, events, 0};
        const int ready =
            ::poll(&entry, 1, static_cast<int>(std::min<long long>(left, kWaitSliceMs)));
        if (ready > 0) return WaitResult::Ready;
        if (ready < 0 && errno != EINTR) return WaitResult::Stopped;
    }
}

} // namespace

std::shared_ptr<TCPConnection>
TCPConnection::create(const SocketAddress& remoteAddress,
                      std::weak_ptr<TCPConnectionDelegate> delegate) {
    auto connection = std::make_shared<TCPConnection>(PrivateTag{}, remoteAddress);
    if (connection->mSocket < 0) {
        ParoxLog("TCPConnection: getStreamsToHost fails: readStream %@ writeStream %@", "(null)",
                 "(null)");
        return nullptr;
    }
    connection->setDelegate(std::move(delegate));
    return startWatching(std::move(connection));
}

std::shared_ptr<TCPConnection> TCPConnection::adopt(int connectedSocket,
                                                    std::weak_ptr<TCPConnectionDelegate> delegate) {
    if (connectedSocket < 0) return nullptr;
    const int flags = ::fcntl(connectedSocket, F_GETFL);
    if (flags < 0 || ::fcntl(connectedSocket, F_SETFL, flags | O_NONBLOCK) != 0) return nullptr;
    auto connection = std::make_shared<TCPConnection>(PrivateTag{}, connectedSocket);
    connection->setDelegate(std::move(delegate));
    return startWatching(std::move(connection));
}

std::shared_ptr<TCPConnection>
TCPConnection::startWatching(std::shared_ptr<TCPConnection> connection) {
    QObject* loop = gClientRunloop.load();
    if (!loop) ParoxLog("Error! no gClientRunloop");
    ParoxLog("TCPConnection _initWithRunLoop %@", connection->description());
    ParoxLog("input: %d output: %d", connection->mSocket.load(), connection->mSocket.load());
    // Read before the network thread sees the socket: once it does, a dial in progress can open
    // at any moment and must not be taken for one that was connected at once (a second open).
    const bool connectedAtOnce = connection->_opened.load() >= 3;
    std::weak_ptr<TCPConnection> weak = connection;
    runOn(loop, [weak] {
        if (auto self = weak.lock()) self->attach();
    });
    if (connectedAtOnce)
        performAfterDelay(loop, kOpenTimerMs, [weak] {
            if (auto self = weak.lock(); self && !self->_invalidating) self->initializeConnection();
        });
    return connection;
}

TCPConnection::TCPConnection(PrivateTag, const SocketAddress& remoteAddress)
    : mWatch(std::make_shared<SocketWatch>()) {
    ParoxLog("address: %@", QByteArray(reinterpret_cast<const char*>(remoteAddress.data()),
                                       static_cast<qsizetype>(remoteAddress.size())));
    const QString host = IPAddressToIPString(asSockaddr(remoteAddress)).value_or(QString());
    ParoxLog("nshost: %@   %@ port: %d", host, host, remotePort(remoteAddress));

    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    mSocket = fd;
    mWatch->fd = fd;
    if (::connect(fd, asSockaddr(remoteAddress), sizeof(sockaddr_in)) == 0) {
        _opened = 3; // connected at once: the open is reported from a timer
    } else if (errno != EINPROGRESS) {
        mConnectError = errno; // reported as a stream error once the loop watches the socket
    }
}

TCPConnection::TCPConnection(PrivateTag, int connectedSocket)
    : mWatch(std::make_shared<SocketWatch>()), mSocket(connectedSocket) {
    mWatch->fd = connectedSocket;
    _opened = 3;
}

TCPConnection::~TCPConnection() {
    ParoxLog("TCPConnection dealloc %x", idOf(this));
    invalidate();
}

void TCPConnection::setDelegate(std::weak_ptr<TCPConnectionDelegate> delegate) {
    auto strong = delegate.lock();
    std::lock_guard lock(mDelegateLock);
    _delegateMethods = strong ? strong->implementedCallbacks() : 0;
    _delegate = std::move(delegate);
}

std::shared_ptr<TCPConnectionDelegate> TCPConnection::delegate() const {
    std::lock_guard lock(mDelegateLock);
    return _delegate.lock();
}

std::shared_ptr<TCPConnectionDelegate> TCPConnection::delegateFor(std::uint32_t callback) const {
    std::lock_guard lock(mDelegateLock);
    return (_delegateMethods & callback) ? _delegate.lock() : nullptr;
}

bool TCPConnection::isValid() const {
    return _opened.load() >= 3 && !_invalidating.load();
}

// Runs on the network thread: watch the socket.
void TCPConnection::attach() {
    auto watch = mWatch;
    if (watch->closed || _invalidating) return;
    std::weak_ptr<TCPConnection> weak = weak_from_this();
    watch->read = new QSocketNotifier(watch->fd, QSocketNotifier::Read);
    watch->read->setEnabled(_opened.load() >= 3);
    QObject::connect(watch->read, &QSocketNotifier::activated, [weak] {
        if (auto self = weak.lock()) self->socketReadable();
    });
    watch->write = new QSocketNotifier(watch->fd, QSocketNotifier::Write);
    QObject::connect(watch->write, &QSocketNotifier::activated, [weak] {
        if (auto self = weak.lock()) self->socketWritable();
    });
    if (mConnectError != 0) {
        mOpenError = mConnectError;
        watch->write->setEnabled(false);
        handleEvent(StreamEvent::ErrorOccurred,
                    QString::fromLocal8Bit(std::strerror(mConnectError)));
    }
}

void TCPConnection::socketWritable() {
    if (mWatch->write) mWatch->write->setEnabled(false); // writes block instead
    if (_invalidating || _opened.load() >= 3) return;
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(mSocket, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
    if (error != 0) {
        mOpenError = error;
        handleEvent(StreamEvent::ErrorOccurred, QString::fromLocal8Bit(std::strerror(error)));
        return;
    }
    // A socket has no separate halves: its connect completing stands for both halves opening
    // and the output first having room.
    handleEvent(StreamEvent::OpenCompleted);
    handleEvent(StreamEvent::OpenCompleted);
    handleEvent(StreamEvent::HasSpaceAvailable);
}

void TCPConnection::handleEvent(StreamEvent event, const QString& error) {
    switch (event) {
    case StreamEvent::OpenCompleted:
    case StreamEvent::HasSpaceAvailable:
        if (_opened.load() < 3 && ++_opened == 3) initializeConnection();
        return;
    case StreamEvent::HasBytesAvailable:
        socketReadable();
        return;
    case StreamEvent::ErrorOccurred:
        ParoxLog("Error occured in CF stream %@", error);
        noteFailure(error);
        [[fallthrough]];
    case StreamEvent::EndEncountered: {
        if (mEndSeen) return;
        mEndSeen = true;
        noteFailure(QStringLiteral("the other side closed the connection"));
        ParoxLog("TCPConnection kCFStreamEventEndEncountered %x  retainCount: %d", idOf(this),
                 weak_from_this().use_count());
        stopWatching();
        std::weak_ptr<TCPConnection> weak = weak_from_this();
        performAfterDelay(gClientRunloop.load(), kEndDelayMs, [weak] {
            if (auto self = weak.lock()) self->invalidate();
        });
        return;
    }
    }
}

void TCPConnection::stopWatching() {
    if (mWatch->read) mWatch->read->setEnabled(false);
    if (mWatch->write) mWatch->write->setEnabled(false);
}

void TCPConnection::initializeConnection() {
    ParoxLog("_initializeConnection");
    const int on = 1;
    ::setsockopt(mSocket, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    // Every message is awaited by the other side: none may wait for an earlier one's
    // acknowledgement first.
    ::setsockopt(mSocket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ::setsockopt(mSocket, SOL_SOCKET, SO_SNDLOWAT, &kSendLowWaterMark, sizeof kSendLowWaterMark);
    for (const bool local : {true, false}) {
        sockaddr_storage name{};
        socklen_t length = sizeof name;
        const int result =
            local ? ::getsockname(mSocket, reinterpret_cast<sockaddr*>(&name), &length)
                  : ::getpeername(mSocket, reinterpret_cast<sockaddr*>(&name), &length);
        if (result != 0) {
            std::printf("%s: Unable to retrieve %s address (%i)\n",
                        "TCPConnection::initializeConnection", local ? "local" : "remote", errno);
            continue;
        }
        SocketAddress address{};
        std::memcpy(address.data(), &name, address.size());
        std::lock_guard lock(mAddressLock);
        (local ? _localAddress : _remoteAddress) = address;
    }
    if (mWatch->read && !_invalidating) mWatch->read->setEnabled(true);
    ParoxLog("here! %@", QStringLiteral("0x%1").arg(idOf(delegate().get()), 0, 16));
    if (auto delegate = delegateFor(TCPConnectionDelegate::kDidOpen)) {
        ParoxLog("bit!");
        delegate->connectionDidOpen(this);
    }
}

// Reads whatever has arrived; delivers every frame that is complete, never waits for the rest.
void TCPConnection::socketReadable() {
    if (_opened.load() < 3 || _invalidating) return;
    auto self = shared_from_this();
    std::size_t budget = kMaxBytesPerEvent;
    for (;;) {
        QByteArray frame;
        int error = 0;
        ReadOutcome outcome;
        {
            std::unique_lock lock(mReadLock, std::try_to_lock);
            if (!lock.owns_lock()) {
                // A synchronous reader has the socket; wait for its claim to end.
                if (mWatch->read) mWatch->read->setEnabled(false);
                return;
            }
            outcome = readFrame(frame, std::nullopt, error);
        }
        switch (outcome) {
        case ReadOutcome::Frame:
            if (!_invalidating)
                if (auto delegate = delegateFor(TCPConnectionDelegate::kDidReceiveData))
                    delegate->connectionDidReceiveData(this, frame);
            if (_invalidating) return;
            budget -= std::min<std::size_t>(budget, frame.size() + wire::kFrameHeaderSize);
            if (budget == 0) return; // the notifier fires again for the rest
            continue;
        case ReadOutcome::NoData:
        case ReadOutcome::TimedOut:
            return;
        case ReadOutcome::End:
            handleEvent(StreamEvent::EndEncountered);
            return;
        case ReadOutcome::StreamError:
            handleEvent(StreamEvent::ErrorOccurred, QString::fromLocal8Bit(std::strerror(error)));
            return;
        case ReadOutcome::Broken:
            ParoxLog("_readData returns nil");
            invalidate();
            return;
        }
    }
}

TCPConnection::ReadOutcome TCPConnection::readFrame(QByteArray& frame,
                                                    std::optional<Clock::time_point> waitUntil,
                                                    int& error) {
    for (;;) {
        if (_invalidating) return ReadOutcome::NoData;
        const std::span<char> room = mReader.buffer();
        const ssize_t count = ::recv(mSocket, room.data(), room.size(), 0);
        if (count > 0) {
            switch (mReader.advance(static_cast<std::size_t>(count))) {
            case FrameReader::Status::NeedMore:
                continue;
            case FrameReader::Status::FrameReady:
                frame = mReader.takeFrame();
                return ReadOutcome::Frame;
            case FrameReader::Status::BadMagic:
                ParoxLog("Invalid header");
                noteFailure(QStringLiteral("the other side sent a frame with a bad magic"));
                return ReadOutcome::Broken;
            case FrameReader::Status::TooLarge:
                ParoxLog("Refusing a frame of %u bytes: the limit is %u bytes",
                         mReader.announcedLength(), wire::kMaxFramePayload);
                noteFailure(QStringLiteral("the other side sent an oversized frame"));
                return ReadOutcome::Broken;
            }
        }
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitUntil) return ReadOutcome::NoData;
            switch (waitFor(mSocket, POLLIN, *waitUntil, _invalidating)) {
            case WaitResult::Ready:
                continue;
            case WaitResult::TimedOut:
                return ReadOutcome::TimedOut; // the reader keeps what it has of a frame
            case WaitResult::Stopped:
                return ReadOutcome::NoData;
            }
        }
        // The stream ended or failed. Between frames that is an end; inside one, a broken frame.
        if (mReader.midFrame()) noteFailure(QStringLiteral("the stream ended inside a frame"));
        if (mReader.headerBytes() > 0) {
            ParoxLog("Read only %i bytes out of %i bytes in header", mReader.headerBytes(),
                     wire::kFrameHeaderSize);
            return ReadOutcome::Broken;
        }
        if (mReader.midFrame()) {
            ParoxLog("Read only %i bytes out of %i (%i) bytes in data", count,
                     mReader.payloadRemaining(), mReader.announcedLength());
            return ReadOutcome::Broken;
        }
        if (count == 0) return ReadOutcome::End;
        error = errno;
        return ReadOutcome::StreamError;
    }
}

std::optional<QByteArray> TCPConnection::receiveData(std::chrono::milliseconds timeout) {
    if (!isValid()) return std::nullopt;
    auto self = shared_from_this();
    const Clock::time_point deadline = Clock::now() + timeout;
    QByteArray frame;
    int error = 0;
    ReadOutcome outcome = ReadOutcome::TimedOut;
    bool partial = false;
    {
        const ReadClaim claim(*this, deadline);
        if (claim.holds()) {
            outcome = readFrame(frame, deadline, error);
            partial = mReader.midFrame();
        }
    } // the claim's end resumes the event reads the network thread may have parked meanwhile
    switch (outcome) {
    case ReadOutcome::Frame:
        return frame;
    case ReadOutcome::TimedOut:
        ParoxLog("receiveData: no whole frame from %@ within %.1f s%@", description(),
                 secondsIn(timeout),
                 partial ? QStringLiteral("; the rest of the frame goes to the delegate")
                         : QString());
        return std::nullopt;
    case ReadOutcome::Broken:
        ParoxLog("_readData returns nil in receiveData");
        invalidate();
        return std::nullopt;
    case ReadOutcome::NoData:
    case ReadOutcome::End:
    case ReadOutcome::StreamError:
        break; // the network thread sees the end too and tears the connection down
    }
    ParoxLog("receiveData got NSNull");
    return std::nullopt;
}

TCPConnection::ReadClaim::ReadClaim(TCPConnection& connection,
                                    std::optional<Clock::time_point> deadline)
    : mConnection(connection.shared_from_this()), mLock(connection.mReadLock, std::defer_lock) {
    if (deadline)
        (void)mLock.try_lock_until(*deadline);
    else
        mLock.lock();
}

TCPConnection::ReadClaim::~ReadClaim() {
    if (!mLock.owns_lock()) return;
    mLock.unlock();
    mConnection->resumeEventReads();
}

void TCPConnection::resumeEventReads() {
    std::weak_ptr<TCPConnection> weak = weak_from_this();
    runOn(gClientRunloop.load(), [weak] {
        auto self = weak.lock();
        if (!self || self->_invalidating || self->mEndSeen || self->_opened.load() < 3) return;
        if (self->mWatch->read) self->mWatch->read->setEnabled(true);
    });
}

void TCPConnection::noteFailure(const QString& reason) {
    std::lock_guard lock(mFailureLock);
    if (mFailureReason.isEmpty()) mFailureReason = reason;
}

QString TCPConnection::failureReason() const {
    std::lock_guard lock(mFailureLock);
    return mFailureReason;
}

bool TCPConnection::hasDataAvailable() const {
    if (!isValid()) return false;
    pollfd entry{mSocket, POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0 && (entry.revents & POLLIN);
}

bool TCPConnection::sendData(const QByteArray& payload) {
    if (!isValid()) {
        ParoxLog("valid: %d data: %d", isValid(), 1);
        return false;
    }
    auto self = shared_from_this();
    std::size_t sent = 0;
    const WriteOutcome outcome = writeFrame(payload, sent);
    if (outcome == WriteOutcome::Written) return true;
    const double limit = secondsIn(Clock::duration(mWriteStallLimit.load()));
    if (outcome == WriteOutcome::Stalled)
        ParoxLog("The write on %@ stalled: the other side took no byte for %.1f s", description(),
                 limit);
    const std::size_t total = wire::kFrameHeaderSize + static_cast<std::size_t>(payload.size());
    if (sent < wire::kFrameHeaderSize)
        ParoxLog("Wrote only %i bytes out of %i bytes in header", sent, wire::kFrameHeaderSize);
    else
        ParoxLog("Wrote only %i bytes out of %i (%i) bytes in data", sent - wire::kFrameHeaderSize,
                 total - sent, payload.size());
    ParoxLog("_writeData failed");
    invalidate();
    return false;
}

void TCPConnection::setWriteStallLimit(std::chrono::milliseconds limit) {
    mWriteStallLimit = std::chrono::duration_cast<Clock::duration>(limit).count();
}

Clock::time_point TCPConnection::writeDeadline(Clock::time_point start) const {
    const Clock::time_point progress{Clock::duration(mLastWriteProgress.load())};
    return std::max(start, progress) + Clock::duration(mWriteStallLimit.load());
}

TCPConnection::WriteOutcome TCPConnection::writeFrame(const QByteArray& payload,
                                                      std::size_t& sent) {
    const Clock::time_point start = Clock::now();
    std::unique_lock lock(mTCPLock, std::defer_lock);
    // The writer ahead of us may be moving bytes, which renews our wait as well.
    while (!lock.try_lock_until(writeDeadline(start)))
        if (Clock::now() >= writeDeadline(start)) return writeFailed(WriteOutcome::Stalled);
    if (mWriteBroken) return writeFailed(WriteOutcome::Failed);
    const WriteOutcome outcome = writeLocked(payload, start, sent);
    if (outcome == WriteOutcome::Written) return outcome;
    // A frame cut off mid-way leaves the stream unusable: the next writer, who may take the lock
    // before this one gets round to invalidating, must not append to it. The reason is noted
    // under the lock too, so that it is this failure's, not the next writer's.
    mWriteBroken = true;
    return writeFailed(outcome);
}

TCPConnection::WriteOutcome TCPConnection::writeFailed(WriteOutcome outcome) {
    noteFailure(outcome == WriteOutcome::Stalled
                    ? QStringLiteral("the other side took no data for %1 s")
                          .arg(secondsIn(Clock::duration(mWriteStallLimit.load())))
                    : QStringLiteral("a write failed"));
    return outcome;
}

TCPConnection::WriteOutcome TCPConnection::writeLocked(const QByteArray& payload,
                                                       Clock::time_point start, std::size_t& sent) {
    const auto header = frameHeader(static_cast<std::uint32_t>(payload.size()));
    const std::size_t total = header.size() + static_cast<std::size_t>(payload.size());
    while (sent < total) {
        if (_invalidating) return WriteOutcome::Failed;
        // Header and payload leave in one call where the socket takes them.
        iovec parts[2];
        int used = 0;
        if (sent < header.size())
            parts[used++] = {const_cast<char*>(header.data()) + sent, header.size() - sent};
        const std::size_t payloadSent = sent > header.size() ? sent - header.size() : 0;
        if (payloadSent < static_cast<std::size_t>(payload.size()))
            parts[used++] = {const_cast<char*>(payload.constData()) + payloadSent,
                             static_cast<std::size_t>(payload.size()) - payloadSent};
        msghdr message{};
        message.msg_iov = parts;
        message.msg_iovlen = used;
        const ssize_t count = ::sendmsg(mSocket, &message, MSG_NOSIGNAL);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
            mLastWriteProgress = Clock::now().time_since_epoch().count();
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            switch (waitFor(mSocket, POLLOUT, writeDeadline(start), _invalidating)) {
            case WaitResult::Ready:
                continue;
            case WaitResult::TimedOut:
                return WriteOutcome::Stalled;
            case WaitResult::Stopped:
                break;
            }
        }
        return WriteOutcome::Failed;
    }
    return WriteOutcome::Written;
}

void TCPConnection::invalidate() {
    ParoxLog("TCPConnection invalidate %x", idOf(this));
    if (_invalidating.exchange(true)) return;
    _invalidate();
}

void TCPConnection::_invalidate() {
    ParoxLog("TCPConnection _invalidate %x", idOf(this));
    if (mSocket >= 0) {
        ParoxLog("_inputStream: %x", mSocket.load());
        ParoxLog("_outputStream: %x", mSocket.load());
        ::shutdown(mSocket, SHUT_RDWR); // wakes a blocked write or synchronous read
    }
    // Wait for a write or read in progress to let go before the socket is closed.
    { std::lock_guard lock(mTCPLock); }
    { std::lock_guard lock(mReadLock); }
    mSocket = -1;
    QObject* loop = gClientRunloop.load();
    if (!loop || sameThread(loop)) {
        disposeWatch(mWatch);
    } else {
        runOn(loop, [watch = mWatch] { disposeWatch(watch); });
    }
    if (_opened.load() >= 3) {
        if (auto delegate = delegateFor(TCPConnectionDelegate::kDidClose))
            delegate->connectionDidClose(this);
        _opened = 0;
    } else if (auto delegate = delegateFor(TCPConnectionDelegate::kDidFailOpening)) {
        delegate->connectionDidFailOpening(this);
    }
}

std::optional<SocketAddress> TCPConnection::addressOf(bool local) const {
    std::lock_guard lock(mAddressLock);
    return local ? _localAddress : _remoteAddress;
}

std::uint16_t TCPConnection::localPort() const {
    const auto address = addressOf(true);
    return address ? socketAddressPort(*address) : 0;
}

std::uint16_t TCPConnection::remotePort() const {
    const auto address = addressOf(false);
    return address ? socketAddressPort(*address) : 0;
}

std::uint32_t TCPConnection::localIPv4Address() const {
    const auto address = addressOf(true);
    return address ? socketAddressIPv4(*address) : 0;
}

std::uint32_t TCPConnection::remoteIPv4Address() const {
    const auto address = addressOf(false);
    return address ? socketAddressIPv4(*address) : 0;
}

std::optional<QString> TCPConnection::localAddress() const {
    const auto address = addressOf(true);
    return address ? socketAddressText(*address) : std::nullopt;
}

std::optional<QString> TCPConnection::remoteAddress() const {
    const auto address = addressOf(false);
    return address ? socketAddressText(*address) : std::nullopt;
}

std::optional<SocketAddress> TCPConnection::remoteSocketAddress() const {
    return addressOf(false);
}

std::uint16_t TCPConnection::remotePort(const SocketAddress& address) {
    return socketAddressPort(address);
}

std::optional<QString> TCPConnection::remoteAddress(const SocketAddress& address) {
    return socketAddressText(address);
}

QString TCPConnection::description() const {
    return stringWithFormat("<%@ = 0x%08X | valid = %i | local address = %@ | remote address = %@>",
                            "TCPConnection", idOf(this), isValid(),
                            localAddress().value_or(QStringLiteral("(null)")),
                            remoteAddress().value_or(QStringLiteral("(null)")));
}

} // namespace vantle
