// Upload of one large file from the transfer layer to vantle-phone and its download back, on
// loopback and through an emulated Wi-Fi link, beside the stop-and-wait bound on the same path:
// one 131072-byte frame, one small answer, over and over, the same in either direction and with
// no work at either end. Each direction's two shares are measured apart: the transfer layer
// against a far end that answers (or pushes) at once, and vantle-phone against a raw PC that does.
// Also the peak resident memory of this process and the phone's, and how late a main-thread
// timer got during the loopback download.
// Prints the figures, then:
// RESULT up_lo_mbps=... down_lo_mbps=... bound_lo_mbps=... up_link_mbps=... down_link_mbps=...
// bound_link_mbps=... peak_rss_mb=... main_lag_ms=...
#include "BenchPhone.h"
#include "BenchSockets.h"
#include "LinkRelay.h"
#include "net/DictionaryCodec.h"
#include "net/FrameReader.h"
#include "net/GamePeer.h"
#include "net/NetworkThread.h"
#include "net/WireFormat.h"
#include "platform/NotificationCenter.h"
#include "transfer/ClientServerController.h"
#include "transfer/ClientServerHost.h"
#include "transfer/MRTransferController.h"
#include "transfer/MessageEnvelope.h"
#include "transfer/ProtocolKeys.h"
#include "transfer/Requests.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>
#include <optional>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace vantle;
using namespace vantle::bench;

namespace {

constexpr qint64 kPiece = protocol::kChunkSize;
constexpr qint64 kBytesPerMiB = 1024 * 1024;
constexpr qint64 kDefaultSizeMiB = 1024;
// The bound settles long before this; more only makes the run longer.
constexpr qint64 kMaxBoundMiB = 256;
// About the size of the phone's answer to a piece ({"Success": true} in its envelope).
constexpr std::size_t kAckPayload = 96;
constexpr int kWaitMs = 5000;
constexpr double kBitsPerMegabit = 1e6;
constexpr double kBitsPerByte = 8;
constexpr double kKiBPerMB = 1024;
constexpr std::size_t kWriteBlock = 1 << 20;
// A download of the whole file ends well before this, even through the link.
constexpr int kDownloadLimitMs = 30 * 60 * 1000;
// The main thread's heartbeat while a download runs; its worst lateness is the lag.
constexpr std::chrono::milliseconds kHeartbeat{10};
constexpr double kNsPerMs = 1e6;

double megabits(qint64 bytes, double seconds) {
    return seconds > 0 ? static_cast<double>(bytes) * kBitsPerByte / kBitsPerMegabit / seconds
                       : 0.0;
}

double secondsOf(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

// Bytes that do not compress or repeat, so nothing on the way can take a short cut.
bool writeSourceFile(const QString& path, qint64 size) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    std::vector<std::uint64_t> block(kWriteBlock / sizeof(std::uint64_t));
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (qint64 written = 0; written < size;) {
        for (auto& word : block) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            word = state;
        }
        const qint64 count = std::min<qint64>(size - written, kWriteBlock);
        if (file.write(reinterpret_cast<const char*>(block.data()), count) != count) return false;
        written += count;
    }
    return true;
}

// The stop-and-wait bound: one piece-sized frame, then wait for the answer. Mbit/s of payload.
double boundMbps(std::uint16_t port, qint64 bytes) {
    const int fd = connectLoopback(port);
    if (fd < 0) return 0;
    std::vector<char> frame(wire::kFrameHeaderSize + kPiece, 'b');
    const auto header = frameHeader(static_cast<std::uint32_t>(kPiece));
    std::memcpy(frame.data(), header.data(), header.size());
    std::vector<char> answer(wire::kFrameHeaderSize + kAckPayload);
    const qint64 pieces = bytes / kPiece;
    QElapsedTimer clock;
    clock.start();
    qint64 done = 0;
    for (; done < pieces; ++done)
        if (!writeAll(fd, frame.data(), frame.size()) || !readAll(fd, answer.data(), answer.size()))
            break;
    const double seconds = secondsOf(clock);
    ::close(fd);
    return megabits(done * kPiece, seconds);
}

// Receives one frame's payload into `payload` (its capacity kept from frame to frame); false when
// the connection ends or the frame is too large.
bool receiveFrame(int fd, QByteArray& payload) {
    char head[wire::kFrameHeaderSize];
    if (!readAll(fd, head, sizeof head)) return false;
    std::uint32_t length = 0;
    for (std::size_t i = 4; i < wire::kFrameHeaderSize; ++i)
        length = (length << 8) | static_cast<unsigned char>(head[i]);
    if (length > wire::kMaxFramePayload) return false;
    payload.resize(length);
    return readAll(fd, payload.data(), length);
}

// Header and payload in one call and without a copy, as a sender that cares would.
bool sendFrame(int fd, const QByteArray& payload) {
    auto header = frameHeader(static_cast<std::uint32_t>(payload.size()));
    iovec parts[] = {
        {header.data(), header.size()},
        {const_cast<char*>(payload.constData()), static_cast<std::size_t>(payload.size())}};
    msghdr message{};
    message.msg_iov = parts;
    message.msg_iovlen = std::size(parts);
    while (message.msg_iovlen > 0) {
        const ssize_t sent = ::sendmsg(fd, &message, MSG_NOSIGNAL);
        if (sent <= 0) return false;
        auto left = static_cast<std::size_t>(sent);
        while (message.msg_iovlen > 0 && left >= message.msg_iov->iov_len) {
            left -= message.msg_iov->iov_len;
            ++message.msg_iov;
            --message.msg_iovlen;
        }
        if (message.msg_iovlen > 0) {
            message.msg_iov->iov_base = static_cast<char*>(message.msg_iov->iov_base) + left;
            message.msg_iov->iov_len -= left;
        }
    }
    return true;
}

// Answers each frame it reads, one connection at a time: `answer` gets the payload and whether
// it is the connection's first, and gives the payload to send back, or none.
class FrameServer {
public:
    using Answer = std::function<std::optional<QByteArray>(const QByteArray&, bool first)>;
    explicit FrameServer(Answer answer)
        : mAnswer(std::move(answer)), mThread([this] { serve(); }) {}
    ~FrameServer() {
        mListener.shutdown();
        mThread.join();
    }
    std::uint16_t port() const { return mListener.port; }
    // Mean microseconds from an answer sent to the next frame's first bytes: how long the other
    // end takes to act on an answer and send again. Read once the connection is over.
    double meanTurnaroundUs() const {
        const qint64 count = mTurnarounds.load();
        return count > 0
                   ? static_cast<double>(mTurnaroundNs.load()) / 1e3 / static_cast<double>(count)
                   : 0.0;
    }

private:
    using Clock = std::chrono::steady_clock;
    void serve() {
        QByteArray payload;
        for (;;) {
            const int fd = mListener.accept();
            if (fd < 0) return;
            std::optional<Clock::time_point> answered;
            char head[wire::kFrameHeaderSize];
            for (bool first = true; ::recv(fd, head, 1, MSG_PEEK) == 1; first = false) {
                if (answered) {
                    mTurnaroundNs += std::chrono::duration_cast<std::chrono::nanoseconds>(
                                         Clock::now() - *answered)
                                         .count();
                    ++mTurnarounds;
                }
                if (!receiveFrame(fd, payload)) break;
                const auto reply = mAnswer(payload, first);
                if (reply && !sendFrame(fd, *reply)) break;
                answered = Clock::now();
            }
            ::close(fd);
        }
    }

    std::atomic<qint64> mTurnaroundNs{0};
    std::atomic<qint64> mTurnarounds{0};
    Answer mAnswer;
    Listener mListener;
    std::thread mThread;
};

// The bound's far end: a small answer to every frame.
std::optional<QByteArray> ackAnswer(const QByteArray&, bool) {
    static const QByteArray ack(kAckPayload, 'a');
    return ack;
}

// A phone that does nothing but agree at once: the upload against it is the PC's own cost.
std::optional<QByteArray> instantPhoneAnswer(const QByteArray& payload, bool first) {
    if (first)
        return encodeDictionary(wire::kHandshakeMagic,
                                {{wire::kHandshakeID, QStringLiteral("INSTANT")},
                                 {wire::kHandshakeName, QStringLiteral("instant phone")}});
    const auto message = decodeMessage(payload);
    if (!message || message->value(keys::kMessageType).toString() != messageTypes::kRequest)
        return std::nullopt;
    QVariantMap response{{keys::kSuccess, true}};
    addResponseEnvelope(response,
                        static_cast<std::int32_t>(message->value(keys::kRequestNum).toLongLong()));
    return encodeMessage(response);
}

// A piece as it travels, always numbered 1: the phone answers whatever number it gets.
QVariantMap pieceRequest(const QByteArray& data, std::int32_t chunkNum) {
    SendChunkRequest piece;
    piece.path = QStringLiteral("/raw.bin");
    piece.chunkData = data;
    piece.chunkNum = chunkNum;
    QVariantMap message = piece.encode();
    addRequestEnvelope(message, 1);
    return message;
}

// The phone's own share: pieces encoded once, sent on a raw socket, each answer awaited. What
// this loses against the bound is the phone's handling; what the upload loses against this is the
// PC's.
double phoneLoopMbps(std::uint16_t port, qint64 bytes) {
    const int fd = connectLoopback(port);
    if (fd < 0) return 0;
    const QVariantMap identity{{wire::kHandshakeID, QStringLiteral("BENCH")},
                               {wire::kHandshakeName, QStringLiteral("transfer_bench")}};
    QByteArray payload;
    bool ok = sendFrame(fd, encodeDictionary(wire::kHandshakeMagic, identity)) &&
              receiveFrame(fd, payload);
    const QByteArray data(kPiece, 'r');
    const QByteArray first = encodeMessage(pieceRequest(data, 0));
    const QByteArray next = encodeMessage(pieceRequest(data, 1));
    const qint64 pieces = bytes / kPiece;
    QElapsedTimer clock;
    clock.start();
    qint64 done = 0;
    for (; ok && done < pieces; ++done) {
        ok = sendFrame(fd, done == 0 ? first : next);
        // Skip the phone's own requests ("ConnectionAllowed"); they need no answer here.
        while (ok) {
            ok = receiveFrame(fd, payload);
            const auto message = ok ? decodeMessage(payload) : std::nullopt;
            if (message && message->value(keys::kMessageType).toString() == messageTypes::kResponse)
                break;
        }
    }
    const double seconds = secondsOf(clock);
    ::close(fd);
    return ok ? megabits(done * kPiece, seconds) : 0.0;
}

// Waits for the answer to what was just sent, answering whatever the other side asks meanwhile
// with a bare success; false when the connection ends.
bool awaitResponse(int fd, QByteArray& payload) {
    for (;;) {
        if (!receiveFrame(fd, payload)) return false;
        const auto message = decodeMessage(payload);
        if (!message) continue;
        const QString type = message->value(keys::kMessageType).toString();
        if (type == messageTypes::kResponse) return true;
        if (type != messageTypes::kRequest) continue;
        QVariantMap response{{keys::kSuccess, true}};
        addResponseEnvelope(
            response, static_cast<std::int32_t>(message->value(keys::kRequestNum).toLongLong()));
        if (!sendFrame(fd, encodeMessage(response))) return false;
    }
}

// A phone that pushes pieces it encoded once, each as soon as the PC has answered the one before:
// what the download loses against this is the PC's share; what this loses against the bound is
// the PC's alone.
class InstantPusher {
public:
    explicit InstantPusher(qint64 bytes) : mPieces(bytes / kPiece), mThread([this] { serve(); }) {}
    ~InstantPusher() {
        mListener.shutdown();
        mThread.join();
    }
    std::uint16_t port() const { return mListener.port; }
    // Mbit/s of the pieces once they are all answered; 0 before or when the push broke.
    double mbps() const { return mMbps.load(); }
    bool over() const { return mOver.load(); }

private:
    void serve() {
        const int fd = mListener.accept();
        if (fd < 0) return;
        QByteArray payload;
        const QVariantMap identity{{wire::kHandshakeID, QStringLiteral("PUSHER")},
                                   {wire::kHandshakeName, QStringLiteral("instant phone")}};
        bool ok = receiveFrame(fd, payload) &&
                  sendFrame(fd, encodeDictionary(wire::kHandshakeMagic, identity));
        const QByteArray data(kPiece, 'p');
        const QByteArray first = encodeMessage(pieceRequest(data, 0));
        const QByteArray next = encodeMessage(pieceRequest(data, 1));
        QElapsedTimer clock;
        clock.start();
        qint64 done = 0;
        for (; ok && done < mPieces; ++done)
            ok = sendFrame(fd, done == 0 ? first : next) && awaitResponse(fd, payload);
        if (ok) mMbps = megabits(done * kPiece, secondsOf(clock));
        mOver = true;
        // The PC hangs up when it is done with us.
        while (receiveFrame(fd, payload)) {
        }
        ::close(fd);
    }

    const qint64 mPieces;
    std::atomic<double> mMbps{0};
    std::atomic<bool> mOver{false};
    Listener mListener;
    std::thread mThread;
};

// vantle-phone's own share of a download: a raw PC asks it for `name` and answers every piece at
// once. Mbit/s of the file's bytes from the first piece to the phone's "TransferFinished".
double rawPushMbps(std::uint16_t port, const QString& name, qint64 size) {
    const int fd = connectLoopback(port);
    if (fd < 0) return 0;
    const QVariantMap identity{{wire::kHandshakeID, QStringLiteral("BENCH")},
                               {wire::kHandshakeName, QStringLiteral("transfer_bench")}};
    QByteArray payload;
    QVariantMap ask{{keys::kRequestType, QString(requests::kRequestFile)},
                    {keys::kPath, QString(QLatin1Char('/') + name)}};
    addRequestEnvelope(ask, 1);
    bool ok = sendFrame(fd, encodeDictionary(wire::kHandshakeMagic, identity)) &&
              receiveFrame(fd, payload) && sendFrame(fd, encodeMessage(ask));
    std::optional<QElapsedTimer> clock;
    qint64 received = 0;
    bool finished = false;
    while (ok && !finished) {
        ok = receiveFrame(fd, payload);
        const auto message = ok ? decodeMessage(payload) : std::nullopt;
        if (!message || message->value(keys::kMessageType).toString() != messageTypes::kRequest)
            continue;
        const QString type = message->value(keys::kRequestType).toString();
        if (type == requests::kSendChunk) {
            if (!clock) clock.emplace().start();
            received += message->value(keys::kChunkData).toByteArray().size();
        }
        finished = type == requests::kNotify &&
                   message->value(keys::kNotification).toString() == notes::kTransferFinished;
        QVariantMap response{{keys::kSuccess, true}};
        addResponseEnvelope(
            response, static_cast<std::int32_t>(message->value(keys::kRequestNum).toLongLong()));
        ok = sendFrame(fd, encodeMessage(response));
    }
    ::close(fd);
    return finished && clock && received == size ? megabits(size, secondsOf(*clock)) : 0.0;
}

// CPU time of one piece's message on each side: what the PC spends encoding it, and what
// decoding it costs the phone. Microseconds each.
struct CodecCost {
    double encodeUs = 0;
    double decodeUs = 0;
};

CodecCost pieceCodecCost() {
    constexpr int kRounds = 200;
    const QVariantMap message = pieceRequest(QByteArray(kPiece, 'c'), 0);
    CodecCost cost;
    QByteArray payload;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kRounds; ++i)
        payload = encodeMessage(message);
    cost.encodeUs = static_cast<double>(clock.nsecsElapsed()) / 1e3 / kRounds;
    clock.restart();
    for (int i = 0; i < kRounds; ++i)
        if (!decodeMessage(payload)) return cost;
    cost.decodeUs = static_cast<double>(clock.nsecsElapsed()) / 1e3 / kRounds;
    return cost;
}

// The window's part, answered the way a headless upload needs it.
class BenchHost : public ClientServerHost {
public:
    void setStatusToConnectionStatus() override {}
    void startedDiscovery() override {}
    void showAlert(const QString& title, const QString& message) override {
        std::fprintf(stderr, "transfer_bench: alert: %s: %s\n", qPrintable(title),
                     qPrintable(message));
    }
    void logAlert(const QString& title, const QString& message) override {
        showAlert(title, message);
    }
    bool isIgnored(const QString&) const override { return false; }
    bool shouldAutoConnect() const override { return false; }
    bool suspendLookingForServers() const override { return true; }
};

// Runs `work` on a thread of its own while the main thread serves its event loop.
template <typename Work> void runOffMainThread(Work work) {
    QEventLoop loop;
    std::thread worker([&] {
        work();
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
}

// Serves the main thread's events until `ready` or the wait ends.
template <typename Ready> bool waitOnMainThread(Ready ready) {
    QElapsedTimer clock;
    clock.start();
    while (!ready() && clock.elapsed() < kWaitMs) {
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return ready();
}

struct UploadFigures {
    bool ok = false;
    double mbps = 0;
    double seconds = 0;
};

// How late a timer on the main thread fires at worst while it runs.
class MainThreadLag {
public:
    MainThreadLag() {
        QObject::connect(&mTimer, &QTimer::timeout, [this] {
            const double lateMs =
                static_cast<double>(mSince.nsecsElapsed()) / kNsPerMs - kHeartbeat.count();
            mWorstMs = std::max(mWorstMs, lateMs);
            mSince.restart();
        });
        mTimer.setTimerType(Qt::PreciseTimer);
        mSince.start();
        mTimer.start(kHeartbeat);
    }
    double worstMs() const { return mWorstMs; }

private:
    QTimer mTimer;
    QElapsedTimer mSince;
    double mWorstMs = 0;
};

// The transfer layer as the program sets it up, connected to a typed address.
class Uploader {
public:
    Uploader() : mController(mHost, mTransfer.responseSlot()) {
        mController.setRequestDispatcher(&mTransfer);
        mTransfer.setClientServerController(&mController);
        mController.startClient();
    }
    ~Uploader() {
        if (auto peer = mController.peer()) peer->disconnect();
        mTransfer.setClientServerController(nullptr);
        mController.setRequestDispatcher(nullptr);
    }
    bool connect(std::uint16_t port) {
        if (mController.addServer(QStringLiteral("127.0.0.1:%1").arg(port)) !=
            AddServerResult::Connecting)
            return false;
        return waitOnMainThread([this] { return mController.peer() && mController.connected(); });
    }

    UploadFigures upload(const QString& localPath, qint64 size) {
        UploadFigures figures;
        std::int32_t code = protocol::kNoAnswer;
        QElapsedTimer clock;
        clock.start();
        runOffMainThread([&] {
            mTransfer.resetUploadOperation();
            code =
                mTransfer.uploadFile(localPath, QLatin1Char('/') + QFileInfo(localPath).fileName());
        });
        figures.seconds = secondsOf(clock);
        figures.ok = code == protocol::kNoError;
        if (!figures.ok) std::fprintf(stderr, "transfer_bench: upload ended with %d\n", code);
        figures.mbps = megabits(size, figures.seconds);
        return figures;
    }

    // A store and a temporary area of the PC's own in `pcDir`, before anything arrives.
    bool useFolders(const QString& pcDir) {
        const QString pcStore = pcDir + QStringLiteral("/store");
        const QString pcTemp = pcDir + QStringLiteral("/temp");
        QDir().mkpath(pcStore);
        QDir().mkpath(pcTemp);
        if (mTransfer.setStoreRootDir(pcStore).ok() && mTransfer.setTemporaryDir(pcTemp).ok())
            return true;
        std::fprintf(stderr, "transfer_bench: could not set the PC's store\n");
        return false;
    }

    // `name` from the phone's store into the folders of useFolders(`pcDir`), then moved into
    // `destination`; true when it arrived there with `size` bytes.
    UploadFigures download(const QString& name, qint64 size, const QString& pcDir,
                           double* mainLagMs) {
        UploadFigures figures;
        const QString destination = pcDir + QStringLiteral("/dest");
        QDir().mkpath(destination);
        QEventLoop waiting;
        QObject context;
        std::optional<QString> finished;
        NotificationCenter::defaultCenter().addObserver(QString(notes::kTransferFinished), &context,
                                                        [&](const Notification& note) {
                                                            finished = note.userInfo.toMap()
                                                                           .value(keys::kNoteInfo)
                                                                           .toMap()
                                                                           .value(keys::kPath)
                                                                           .toString();
                                                            waiting.quit();
                                                        });
        QTimer::singleShot(kDownloadLimitMs, &waiting, &QEventLoop::quit);
        std::optional<MainThreadLag> lag;
        if (mainLagMs) lag.emplace();
        QElapsedTimer clock;
        clock.start();
        bool asked = false;
        mTransfer.resetDownloadOperation();
        runOffMainThread([&] { asked = mTransfer.requestRemoteFile(QLatin1Char('/') + name); });
        if (asked && !finished) waiting.exec();
        std::optional<QString> final;
        if (finished) {
            const Result<QString> moved = mTransfer.finishDownload(*finished, destination);
            if (moved)
                final = *moved;
            else
                std::fprintf(stderr, "transfer_bench: %s\n", qPrintable(moved.error()));
        }
        figures.seconds = secondsOf(clock);
        if (lag) *mainLagMs = lag->worstMs();
        figures.ok = final && QFileInfo(*final).size() == size;
        if (!figures.ok)
            std::fprintf(stderr, "transfer_bench: the download did not arrive whole\n");
        else
            QFile::remove(*final);
        figures.mbps = megabits(size, figures.seconds);
        return figures;
    }

private:
    BenchHost mHost;
    MRTransferController mTransfer;
    ClientServerController mController;
};

// Whether a file of `size` bytes arrived in the store.
bool arrivedWhole(const QString& store, qint64 size) {
    QDirIterator files(store, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        if (QFileInfo(files.next()).size() == size) return true;
    return false;
}

void clearStore(const QString& store) {
    QDir(store).removeRecursively();
    QDir().mkpath(store);
}

struct PathFigures {
    double bound = 0;
    double boundTurnaroundUs = 0;
    double instantTurnaroundUs = 0;
    double phoneLoop = 0;
    double instantDownload = 0;
    double phonePush = 0;
    UploadFigures instant;
    UploadFigures upload;
    UploadFigures download;
    double mainLagMs = 0;
    long phonePeakKiB = 0;
};

// The bound and the upload on one path; `viaRelay` puts the emulated link in front of each far
// end.
// An upload to whatever listens at `port`.
UploadFigures uploadTo(std::uint16_t port, const QString& source, qint64 size) {
    Uploader uploader;
    if (!uploader.connect(port)) {
        std::fprintf(stderr, "transfer_bench: could not connect to the phone\n");
        return {};
    }
    return uploader.upload(source, size);
}

// The files the run uploads: the whole size, and one no larger than the bound's share.
struct Sources {
    QString full;
    qint64 size = 0;
    QString part;
    qint64 partSize = 0;
};

PathFigures measurePath(const Sources& sources, const QString& store, bool viaRelay) {
    PathFigures figures;
    const qint64 size = sources.size;
    const QString& source = sources.full;
    const qint64 boundBytes = sources.partSize;
    {
        FrameServer echo(ackAnswer);
        std::optional<LinkRelay> relay;
        if (viaRelay) relay.emplace(echo.port(), LinkShape{});
        figures.bound = boundMbps(relay ? relay->port() : echo.port(), boundBytes);
        relay.reset();
        figures.boundTurnaroundUs = echo.meanTurnaroundUs();
    }
    {
        FrameServer instant(instantPhoneAnswer);
        std::optional<LinkRelay> relay;
        if (viaRelay) relay.emplace(instant.port(), LinkShape{});
        figures.instant =
            uploadTo(relay ? relay->port() : instant.port(), sources.part, sources.partSize);
        relay.reset();
        figures.instantTurnaroundUs = instant.meanTurnaroundUs();
    }
    {
        InstantPusher pusher(boundBytes);
        std::optional<LinkRelay> relay;
        if (viaRelay) relay.emplace(pusher.port(), LinkShape{});
        QTemporaryDir pcDir;
        Uploader downloader;
        if (downloader.useFolders(pcDir.path()) &&
            downloader.connect(relay ? relay->port() : pusher.port())) {
            QElapsedTimer waited;
            waited.start();
            while (!pusher.over() && waited.elapsed() < kDownloadLimitMs)
                waitOnMainThread([&] { return pusher.over(); });
        }
        figures.instantDownload = pusher.mbps();
    }
    const BenchPhone phone({QStringLiteral("--quiet"), QStringLiteral("--store"), store});
    if (phone.port() == 0) {
        std::fprintf(stderr, "transfer_bench: vantle-phone did not start\n");
        return figures;
    }
    std::optional<LinkRelay> relay;
    if (viaRelay) relay.emplace(phone.port(), LinkShape{});
    figures.phoneLoop = phoneLoopMbps(relay ? relay->port() : phone.port(), boundBytes);
    clearStore(store);
    figures.upload = uploadTo(relay ? relay->port() : phone.port(), source, size);
    const bool arrived = arrivedWhole(store, size);
    clearStore(store);
    if (!arrived) {
        std::fprintf(stderr, "transfer_bench: the file did not arrive whole\n");
        figures.upload.ok = false;
    }
    // The phone offers the source itself: a second link to it, not a copy.
    const QString offered = store + QStringLiteral("/download.bin");
    if (::link(QFile::encodeName(source).constData(), QFile::encodeName(offered).constData()) !=
            0 &&
        !QFile::copy(source, offered)) {
        std::fprintf(stderr, "transfer_bench: could not offer the file to download\n");
        return figures;
    }
    // The phone's share is measured on a file no larger than the bound's.
    const QString pushed = store + QStringLiteral("/push.bin");
    if (::link(QFile::encodeName(sources.part).constData(),
               QFile::encodeName(pushed).constData()) == 0)
        figures.phonePush = rawPushMbps(relay ? relay->port() : phone.port(),
                                        QStringLiteral("push.bin"), sources.partSize);
    QFile::remove(pushed);
    {
        QTemporaryDir pcDir;
        Uploader downloader;
        if (!downloader.useFolders(pcDir.path()) ||
            !downloader.connect(relay ? relay->port() : phone.port())) {
            std::fprintf(stderr, "transfer_bench: could not connect to the phone\n");
        } else {
            figures.download =
                downloader.download(QStringLiteral("download.bin"), size, pcDir.path(),
                                    viaRelay ? nullptr : &figures.mainLagMs);
        }
    }
    figures.phonePeakKiB = phone.peakKiB();
    clearStore(store);
    return figures;
}

double peakRssMB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / kKiBPerMB;
}

std::optional<qint64> sizeMiB(const QStringList& arguments) {
    qint64 mib = kDefaultSizeMiB;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] != QLatin1String("--size-mib") || i + 1 >= arguments.size())
            return std::nullopt;
        bool ok = false;
        mib = arguments[++i].toLongLong(&ok);
        if (!ok || mib <= 0) return std::nullopt;
    }
    return mib;
}

double microsPerPiece(double mbps) {
    return mbps > 0 ? static_cast<double>(kPiece) * kBitsPerByte / mbps : 0.0;
}

void printPath(const char* name, const PathFigures& f) {
    std::printf(
        "%-8s bound %8.1f Mbit/s   upload %8.1f Mbit/s (%.1f s)   %5.1f %% of the bound%s\n", name,
        f.bound, f.upload.mbps, f.upload.seconds, f.bound > 0 ? 100 * f.upload.mbps / f.bound : 0.0,
        f.upload.ok ? "" : "   UPLOAD FAILED");
    std::printf("         download %8.1f Mbit/s (%.1f s)   %5.1f %% of the bound%s\n",
                f.download.mbps, f.download.seconds,
                f.bound > 0 ? 100 * f.download.mbps / f.bound : 0.0,
                f.download.ok ? "" : "   DOWNLOAD FAILED");
    std::printf("         per piece: bound %.0f us; upload to an instant phone %.0f us (%.1f "
                "Mbit/s); raw pieces to vantle-phone %.0f us (%.1f Mbit/s); upload %.0f us\n",
                microsPerPiece(f.bound), microsPerPiece(f.instant.mbps), f.instant.mbps,
                microsPerPiece(f.phoneLoop), f.phoneLoop, microsPerPiece(f.upload.mbps));
    std::printf("         per piece: download from an instant phone %.0f us (%.1f Mbit/s); raw "
                "pieces from vantle-phone %.0f us (%.1f Mbit/s); download %.0f us\n",
                microsPerPiece(f.instantDownload), f.instantDownload, microsPerPiece(f.phonePush),
                f.phonePush, microsPerPiece(f.download.mbps));
    std::printf("         seen from the far end, answer to next piece: raw loop %.0f us, transfer "
                "layer %.0f us\n",
                f.boundTurnaroundUs, f.instantTurnaroundUs);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const auto mib = sizeMiB(app.arguments());
    if (!mib) {
        std::fprintf(stderr, "usage: transfer_bench [--size-mib N]\n");
        return 2;
    }
    startNetworkThread();
    QTemporaryDir work;
    Sources sources;
    sources.full = work.filePath(QStringLiteral("upload.bin"));
    sources.size = *mib * kBytesPerMiB;
    sources.partSize = std::min(sources.size, kMaxBoundMiB * kBytesPerMiB);
    sources.part =
        sources.partSize == sources.size ? sources.full : work.filePath(QStringLiteral("part.bin"));
    const QString store = work.filePath(QStringLiteral("store"));
    if (!work.isValid() || !QDir().mkpath(store) || !writeSourceFile(sources.full, sources.size) ||
        (sources.part != sources.full && !writeSourceFile(sources.part, sources.partSize))) {
        std::fprintf(stderr, "transfer_bench: could not write the %lld MiB source file\n",
                     static_cast<long long>(*mib));
        return 1;
    }
    const LinkShape link;
    std::printf("file %lld MiB in %lld-byte pieces; link: %.1f ms each way, %.0f Mbit/s; figures "
                "in megabits (10^6 bits) of file content per second\n",
                static_cast<long long>(*mib), static_cast<long long>(kPiece),
                static_cast<double>(link.delay.count()) / 1e3,
                link.bitsPerSecond / kBitsPerMegabit);
    // A piece crosses the link after the bucket's burst, then the delay both ways.
    const double idealUs =
        static_cast<double>(wire::kFrameHeaderSize + kPiece + wire::kFrameHeaderSize + kAckPayload -
                            link.burstBytes) *
            kBitsPerByte / link.bitsPerSecond * 1e6 +
        2 * static_cast<double>(link.delay.count());
    std::printf("link's stop-and-wait bound on paper: %.0f us per piece, %.1f Mbit/s (the relay's "
                "own wake-ups add to it)\n",
                idealUs, static_cast<double>(kPiece) * kBitsPerByte / idealUs);
    std::fflush(stdout);
    const CodecCost codec = pieceCodecCost();
    std::printf("one piece's message: encoding %.0f us, decoding %.0f us\n", codec.encodeUs,
                codec.decodeUs);
    const PathFigures loopback = measurePath(sources, store, false);
    printPath("loopback", loopback);
    std::printf("peak resident memory after loopback: %.1f MB\n", peakRssMB());
    std::fflush(stdout);
    const PathFigures linked = measurePath(sources, store, true);
    printPath("link", linked);
    const double peak = peakRssMB();
    std::printf(
        "peak resident memory: %.1f MB (this process; MB here are MiB); vantle-phone %.1f MB\n",
        peak,
        static_cast<double>(std::max(loopback.phonePeakKiB, linked.phonePeakKiB)) / kKiBPerMB);
    std::printf("main thread: a %lld ms timer was at worst %.1f ms late during the loopback "
                "download\n",
                static_cast<long long>(kHeartbeat.count()), loopback.mainLagMs);
    std::printf("RESULT up_lo_mbps=%.1f down_lo_mbps=%.1f bound_lo_mbps=%.1f up_link_mbps=%.1f "
                "down_link_mbps=%.1f bound_link_mbps=%.1f peak_rss_mb=%.1f main_lag_ms=%.1f\n",
                loopback.upload.mbps, loopback.download.mbps, loopback.bound, linked.upload.mbps,
                linked.download.mbps, linked.bound, peak, loopback.mainLagMs);
    std::fflush(stdout);
    work.remove();
    const bool ok =
        loopback.upload.ok && linked.upload.ok && loopback.download.ok && linked.download.ok;
    std::_Exit(ok ? 0 : 1); // the network thread never ends
}
