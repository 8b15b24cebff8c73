#include "NetTestSupport.h"

#include "net/DictionaryCodec.h"
#include "net/FrameReader.h"
#include "net/NetworkThread.h"
#include "net/WireFormat.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QThread>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vantle::test {

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

bool settleNetworkThread() {
    QObject* const loop = gClientRunloop.load();
    QObject* const caller = QThread::currentThread() == qApp->thread() ? qApp : nullptr;
    if (!loop || !caller) return false;
    auto settled = std::make_shared<std::atomic<bool>>(false);
    // Posted twice so that one whole turn of the loop, with its socket events, lies in between.
    QMetaObject::invokeMethod(
        loop,
        [loop, caller, settled] {
            QMetaObject::invokeMethod(
                loop,
                [caller, settled] {
                    QMetaObject::invokeMethod(
                        caller, [settled] { *settled = true; }, Qt::QueuedConnection);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    return waitUntil([&] { return settled->load(); });
}

RawServer::RawServer(int backlog) {
    mListener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const SocketAddress any = makeSocketAddress(INADDR_LOOPBACK, 0);
    if (::bind(mListener, asSockaddr(any), sizeof(sockaddr_in)) != 0 ||
        ::listen(mListener, backlog) != 0)
        return;
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    ::getsockname(mListener, reinterpret_cast<sockaddr*>(&bound), &length);
    mPort = ntohs(bound.sin_port);
}

RawServer::~RawServer() {
    closeClient();
    if (mListener >= 0) ::close(mListener);
}

int RawServer::takeClient() {
    return std::exchange(mClient, -1);
}

SocketAddress RawServer::address() const {
    return makeSocketAddress(INADDR_LOOPBACK, mPort);
}

bool RawServer::accept(int timeoutMs) {
    pollfd entry{mListener, POLLIN, 0};
    if (::poll(&entry, 1, timeoutMs) <= 0) return false;
    closeClient();
    mClient = ::accept4(mListener, nullptr, nullptr, SOCK_CLOEXEC);
    return mClient >= 0;
}

bool RawServer::send(const QByteArray& bytes) {
    return ::send(mClient, bytes.constData(), static_cast<size_t>(bytes.size()), MSG_NOSIGNAL) ==
           bytes.size();
}

QByteArray RawServer::receive(std::size_t count, int timeoutMs) {
    QByteArray bytes;
    QDeadlineTimer deadline(timeoutMs);
    while (static_cast<std::size_t>(bytes.size()) < count && !deadline.hasExpired()) {
        pollfd entry{mClient, POLLIN, 0};
        if (::poll(&entry, 1, static_cast<int>(deadline.remainingTime())) <= 0) break;
        char buffer[65536];
        const ssize_t got =
            ::recv(mClient, buffer,
                   std::min(sizeof buffer, count - static_cast<std::size_t>(bytes.size())), 0);
        if (got <= 0) break;
        bytes.append(buffer, got);
    }
    return static_cast<std::size_t>(bytes.size()) == count ? bytes : QByteArray();
}

std::optional<QByteArray> RawServer::receiveFrame() {
    const QByteArray header = receive(wire::kFrameHeaderSize);
    if (header.isEmpty()) return std::nullopt;
    FrameReader reader;
    std::vector<QByteArray> frames;
    if (reader.feed(header, frames) != FrameReader::Status::NeedMore || !frames.empty()) {
        if (frames.size() == 1) return frames.front();
        return std::nullopt;
    }
    const QByteArray payload = receive(reader.announcedLength());
    if (reader.feed(payload, frames) == FrameReader::Status::NeedMore && frames.size() == 1)
        return frames.front();
    return std::nullopt;
}

bool RawServer::sawClose(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        pollfd entry{mClient, POLLIN, 0};
        if (::poll(&entry, 1, static_cast<int>(deadline.remainingTime())) <= 0) return false;
        char buffer[4096];
        const ssize_t got = ::recv(mClient, buffer, sizeof buffer, 0);
        if (got <= 0) return true;
    }
    return false;
}

void RawServer::closeClient() {
    const int client = std::exchange(mClient, -1);
    if (client >= 0) ::close(client);
}

QueueFiller::QueueFiller(const RawServer& server) {
    mSocket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const SocketAddress address = server.address();
    if (mSocket < 0 ||
        (::connect(mSocket, asSockaddr(address), sizeof(sockaddr_in)) != 0 && errno != EINPROGRESS))
        return;
    pollfd entry{mSocket, POLLOUT, 0};
    int error = 0;
    socklen_t length = sizeof error;
    mQueued = ::poll(&entry, 1, kWaitMs) == 1 &&
              ::getsockopt(mSocket, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

QueueFiller::~QueueFiller() {
    if (mSocket >= 0) ::close(mSocket);
}

QByteArray frame(const QByteArray& payload) {
    const auto header = frameHeader(static_cast<std::uint32_t>(payload.size()));
    return QByteArray(header.data(), static_cast<qsizetype>(header.size())) + payload;
}

QByteArray handshakePayload(const QVariantMap& dictionary) {
    return encodeDictionary(wire::kHandshakeMagic, dictionary);
}

QByteArray patterned(qsizetype size, char seed) {
    constexpr int kPatternLength = 97;
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(seed + i % kPatternLength);
    return bytes;
}

bool answerHandshake(RawServer& server) {
    const auto theirs = server.receiveFrame();
    if (!theirs || !decodeDictionary(wire::kHandshakeMagic, *theirs)) return false;
    return server.send(
        frame(handshakePayload({{QStringLiteral("id"), QStringLiteral("PHONE-1")},
                                {QStringLiteral("name"), QStringLiteral("Phone")}})));
}

bool OpenConnection::open() {
    connection = TCPConnection::create(server.address(), recorder);
    if (!connection) return false;
    return server.accept() && waitUntil([&] { return recorder->opened == 1; });
}

void ConnectionRecorder::connectionDidClose(TCPConnection*) {
    closedOnNetworkThread = QThread::currentThread() == gClientRunloop.load()->thread();
    ++closed;
}

void ConnectionRecorder::connectionDidReceiveData(TCPConnection*, const QByteArray& data) {
    std::lock_guard lock(mMutex);
    mPayloads.push_back(data);
    ++received;
}

std::vector<QByteArray> ConnectionRecorder::payloads() const {
    std::lock_guard lock(mMutex);
    return mPayloads;
}

void PeerRecorder::gamePeerDidReceiveData(GamePeer*, const QByteArray& data, bool immediate) {
    std::lock_guard lock(mMutex);
    mPayloads.push_back(data);
    if (immediate) sawImmediate = true;
    ++received;
}

std::vector<QByteArray> PeerRecorder::payloads() const {
    std::lock_guard lock(mMutex);
    return mPayloads;
}

PhoneProcess::PhoneProcess(const QStringList& arguments) {
    mProcess.setProcessChannelMode(QProcess::SeparateChannels);
    mProcess.start(QStringLiteral(VANTLE_BIN_DIR "/vantle-phone"),
                   QStringList{QStringLiteral("--port"), QStringLiteral("0")} + arguments);
    if (!mProcess.waitForStarted(kWaitMs)) return;
    static const QRegularExpression listening(QStringLiteral("listening on [0-9.]+:(\\d+)"));
    QDeadlineTimer deadline(kWaitMs);
    while (!deadline.hasExpired() && mProcess.state() == QProcess::Running) {
        mProcess.waitForReadyRead(50);
        mOutput += QString::fromLocal8Bit(mProcess.readAllStandardOutput());
        const auto match = listening.match(mOutput);
        if (match.hasMatch()) {
            mPort = static_cast<std::uint16_t>(match.captured(1).toUInt());
            return;
        }
    }
}

PhoneProcess::~PhoneProcess() {
    if (mProcess.state() == QProcess::NotRunning) return;
    mProcess.kill(); // our own child, by its process id
    mProcess.waitForFinished(kWaitMs);
}

SocketAddress PhoneProcess::address() const {
    return makeSocketAddress(INADDR_LOOPBACK, mPort);
}

QString PhoneProcess::output() {
    mProcess.waitForReadyRead(10);
    mOutput += QString::fromLocal8Bit(mProcess.readAllStandardOutput());
    return mOutput;
}

QList<QJsonObject> recordedRequests(const QString& recordFile, const QString& requestType) {
    QList<QJsonObject> messages;
    QFile file(recordFile);
    if (!file.open(QIODevice::ReadOnly)) return messages;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QJsonObject entry = QJsonDocument::fromJson(line).object();
        if (entry.value(QLatin1String("direction")).toString() != QLatin1String("received") ||
            entry.value(QLatin1String("kind")).toString() != QLatin1String("message"))
            continue;
        const QJsonObject message = entry.value(QLatin1String("dictionary")).toObject();
        if (requestType.isEmpty() ||
            message.value(QLatin1String("RequestType")).toString() == requestType)
            messages.append(message);
    }
    return messages;
}

} // namespace vantle::test
