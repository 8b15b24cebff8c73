#pragma once

#include "net/GamePeer.h"
#include "net/SocketAddress.h"
#include "net/TCPConnection.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace vantle::test {

// Generous bound for anything a test waits for; reaching it means the test failed.
inline constexpr int kWaitMs = 5000;

// Waits (bounded) until `condition` holds, letting the calling thread's events run.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = kWaitMs);

// Returns once the network thread has gone round its loop (posted work and socket events) since
// the call and the calling thread has run what the network thread handed it meanwhile: whatever
// earlier events were going to report has been reported. Bounded; false when it did not settle.
bool settleNetworkThread();

// A listening socket on 127.0.0.1 that a test drives byte by byte, with blocking calls bounded
// in time.
class RawServer {
public:
    static constexpr int kDefaultBacklog = 4;
    explicit RawServer(int backlog = kDefaultBacklog);
    ~RawServer();
    std::uint16_t port() const { return mPort; }
    SocketAddress address() const;
    // Takes the next dial, closing the one taken before.
    bool accept(int timeoutMs = kWaitMs);
    bool send(const QByteArray& bytes);
    // Reads exactly `count` bytes; empty when they do not come in time.
    QByteArray receive(std::size_t count, int timeoutMs = kWaitMs);
    // Reads one frame's payload; none when none comes in time.
    std::optional<QByteArray> receiveFrame();
    // True when the other end has closed (read returns 0) within the time.
    bool sawClose(int timeoutMs = kWaitMs);
    void closeClient();
    // Hands the accepted socket over to the caller.
    int takeClient();

private:
    int mListener = -1;
    int mClient = -1;
    std::uint16_t mPort = 0;
};

// One dial that fills the accept queue of a server listening with a backlog of 0: the system then
// drops later dials' first packet, so they stay opening until the server accepts this one and
// their retry (about a second later) gets in.
class QueueFiller {
public:
    explicit QueueFiller(const RawServer& server);
    ~QueueFiller();
    QueueFiller(const QueueFiller&) = delete;
    QueueFiller& operator=(const QueueFiller&) = delete;
    // True once the dial sits in the server's queue.
    bool queued() const { return mQueued; }

private:
    int mSocket = -1;
    bool mQueued = false;
};

QByteArray frame(const QByteArray& payload);
QByteArray handshakePayload(const QVariantMap& dictionary);
// `size` bytes in a pattern that starts at `seed`, so that a misplaced byte shows.
QByteArray patterned(qsizetype size, char seed);
// The phone's part of the handshake on an accepted connection: takes the PC's identity, sends
// its own.
bool answerHandshake(RawServer& server);

// Records what a connection tells its delegate; callbacks arrive on the network thread.
class ConnectionRecorder : public TCPConnectionDelegate {
public:
    void connectionDidFailOpening(TCPConnection*) override { ++failedOpening; }
    void connectionDidOpen(TCPConnection*) override { ++opened; }
    void connectionDidClose(TCPConnection*) override;
    void connectionDidReceiveData(TCPConnection*, const QByteArray& data) override;
    std::vector<QByteArray> payloads() const;

    std::atomic<int> failedOpening{0}, opened{0}, closed{0}, received{0};
    std::atomic<bool> closedOnNetworkThread{false};

private:
    mutable std::mutex mMutex;
    std::vector<QByteArray> mPayloads;
};

// A connection to `server`, opened and accepted.
struct OpenConnection {
    RawServer server;
    std::shared_ptr<ConnectionRecorder> recorder = std::make_shared<ConnectionRecorder>();
    std::shared_ptr<TCPConnection> connection;

    bool open();
};

// Records what a peer tells its delegate.
class PeerRecorder : public GamePeerDelegate {
public:
    QString gamePeerWillSendName(GamePeer*) override { return QStringLiteral("Test PC"); }
    std::optional<QVariant> gamePeerWillSendInfoPlist(GamePeer*) override { return info; }
    void gamePeerDidConnect(GamePeer*) override { ++connected; }
    void gamePeerDidFailConnecting(GamePeer*) override { ++failed; }
    void gamePeerDidDisconnect(GamePeer*) override { ++disconnected; }
    void gamePeerDidReceiveData(GamePeer*, const QByteArray& data, bool immediate) override;
    std::vector<QByteArray> payloads() const;

    std::optional<QVariant> info;
    std::atomic<int> connected{0}, failed{0}, disconnected{0}, received{0};
    std::atomic<bool> sawImmediate{false};

private:
    mutable std::mutex mMutex;
    std::vector<QByteArray> mPayloads;
};

// vantle-phone started from the build's bin folder on a free port of 127.0.0.1, stopped by its
// process id when the test is done.
// The requests the phone recorded (its --record FILE) as received, of one "RequestType" or all.
QList<QJsonObject> recordedRequests(const QString& recordFile, const QString& requestType = {});

class PhoneProcess {
public:
    explicit PhoneProcess(const QStringList& arguments = {});
    ~PhoneProcess();
    bool started() const { return mPort != 0; }
    std::uint16_t port() const { return mPort; }
    SocketAddress address() const;
    qint64 processId() const { return mProcess.processId(); }
    // Everything the phone printed so far.
    QString output();

private:
    QProcess mProcess;
    std::uint16_t mPort = 0;
    QString mOutput;
};

} // namespace vantle::test
