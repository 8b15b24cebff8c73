// Framed connections against plain sockets on loopback, and handshakes against vantle-phone.
// Prints the figures, then: RESULT frame_mbps=... plain_mbps=... ratio=... handshakes_per_s=...
#include "BenchPhone.h"
#include "BenchSockets.h"
#include "net/GamePeer.h"
#include "net/NetUtilities.h"
#include "net/NetworkThread.h"
#include "net/TCPConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace vantle;
using namespace vantle::bench;

namespace {

constexpr qsizetype kFrameSize = 131072;
constexpr int kFrames = 4000; // about 500 MB each way
constexpr int kHandshakes = 200;
constexpr unsigned long kPhoneTurnaroundUs = 200;
constexpr int kWaitMs = 5000;
constexpr double kBytesPerMB = 1e6;

// Echoes every frame back on the connection it came from (on the network thread).
class Echo : public TCPConnectionDelegate {
public:
    void connectionDidReceiveData(TCPConnection* connection, const QByteArray& data) override {
        connection->sendData(data);
    }
};

class OpenWaiter : public TCPConnectionDelegate {
public:
    std::atomic<bool> open{false};
    void connectionDidOpen(TCPConnection*) override { open = true; }
};

bool waitFor(const std::atomic<bool>& flag) {
    QElapsedTimer clock;
    clock.start();
    while (!flag && clock.elapsed() < kWaitMs)
        QThread::msleep(1);
    return flag;
}

// One thread sends the frames, one reads the echoes back; the far end echoes on the network
// thread. Bytes echoed per second.
double frameThroughput() {
    Listener listener;
    auto waiter = std::make_shared<OpenWaiter>();
    auto client = TCPConnection::create(listener.address(), waiter);
    auto echo = std::make_shared<Echo>();
    auto server = TCPConnection::adopt(listener.accept(), echo);
    if (!waitFor(waiter->open)) return 0;

    const QByteArray payload(kFrameSize, 'f');
    const auto claim = client->claimReadSide();
    QElapsedTimer clock;
    clock.start();
    std::thread sender([&] {
        for (int i = 0; i < kFrames; ++i)
            client->sendData(payload);
    });
    qint64 received = 0;
    for (int i = 0; i < kFrames; ++i) {
        const auto frame = client->receiveData();
        if (!frame) break;
        received += frame->size();
    }
    sender.join();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    client->invalidate();
    server->invalidate();
    return static_cast<double>(received) / kBytesPerMB / seconds;
}

// The same bytes (header and payload) through blocking sockets and three threads.
double plainThroughput() {
    Listener listener;
    const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const SocketAddress address = listener.address();
    ::connect(client, asSockaddr(address), sizeof(sockaddr_in));
    const int server = listener.accept();
    const std::size_t message = kFrameSize + 8;
    std::thread echo([&] {
        std::vector<char> buffer(message);
        for (int i = 0; i < kFrames; ++i)
            if (!readAll(server, buffer.data(), message) ||
                !writeAll(server, buffer.data(), message))
                return;
    });
    QElapsedTimer clock;
    clock.start();
    std::thread sender([&] {
        std::vector<char> buffer(message, 'p');
        for (int i = 0; i < kFrames; ++i)
            if (!writeAll(client, buffer.data(), message)) return;
    });
    std::vector<char> buffer(message);
    qint64 received = 0;
    for (int i = 0; i < kFrames; ++i) {
        if (!readAll(client, buffer.data(), message)) break;
        received += kFrameSize;
    }
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    sender.join();
    echo.join();
    ::close(client);
    ::close(server);
    return static_cast<double>(received) / kBytesPerMB / seconds;
}

class HandshakeWaiter : public GamePeerDelegate {
public:
    QString gamePeerWillSendName(GamePeer*) override { return QStringLiteral("frame_bench"); }
    void gamePeerDidConnect(GamePeer*) override { settle(true); }
    void gamePeerDidFailConnecting(GamePeer*) override { settle(false); }
    void reset() {
        std::lock_guard lock(mMutex);
        mDone = false;
    }
    bool wait() {
        std::unique_lock lock(mMutex);
        mChanged.wait_for(lock, std::chrono::milliseconds(kWaitMs), [this] { return mDone; });
        return mDone && mOk;
    }

private:
    void settle(bool ok) {
        {
            std::lock_guard lock(mMutex);
            mDone = true;
            mOk = ok;
        }
        mChanged.notify_all();
    }
    std::mutex mMutex;
    std::condition_variable mChanged;
    bool mDone = false;
    bool mOk = false;
};

// Connect to gamePeerDidConnect, against vantle-phone, one after another.
double handshakesPerSecond() {
    const BenchPhone phone({QStringLiteral("--quiet")});
    const std::uint16_t port = phone.port();
    if (port == 0) {
        std::fprintf(stderr, "frame_bench: vantle-phone did not start\n");
        return 0;
    }
    const SocketAddress address = makeSocketAddress(INADDR_LOOPBACK, port);
    auto waiter = std::make_shared<HandshakeWaiter>();
    int done = 0;
    QElapsedTimer clock;
    clock.start();
    for (int attempt = 0; done < kHandshakes && attempt < kHandshakes * 2; ++attempt) {
        auto peer = GamePeer::create(QStringLiteral("Manual:Connection"), address);
        peer->setDelegate(waiter);
        waiter->reset();
        if (peer->connect() && waiter->wait()) ++done;
        peer->disconnect();
        // The phone serves one PC at a time: give it a moment to see this one leave.
        QThread::usleep(kPhoneTurnaroundUs);
    }
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    return done / seconds;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    startNetworkThread();
    const double framed = frameThroughput();
    const double plain = plainThroughput();
    std::printf("framed echo: %.0f MB/s (%d frames of %lld bytes)\n", framed, kFrames,
                static_cast<long long>(kFrameSize));
    std::printf("plain echo:  %.0f MB/s (same bytes, blocking sockets)\n", plain);
    const double handshakes = handshakesPerSecond();
    std::printf("handshakes:  %.0f per second against vantle-phone\n", handshakes);
    std::printf("RESULT frame_mbps=%.0f plain_mbps=%.0f ratio=%.2f handshakes_per_s=%.0f\n", framed,
                plain, plain > 0 ? framed / plain : 0.0, handshakes);
    std::fflush(stdout);
    std::_Exit(0); // the network thread runs until the process ends
}
