#include "NetTestSupport.h"
#include "ScriptedDnsSdControl.h"
#include "net/DictionaryCodec.h"
#include "net/DnsSdLibrary.h"
#include "net/GameClient.h"
#include "net/GamePeer.h"
#include "net/NetworkThread.h"
#include "net/WireFormat.h"
#include "platform/MainThread.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>
#include <QtEndian>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

using namespace Qt::StringLiterals;

using namespace vantle;
using namespace vantle::dnssd;
using namespace Qt::StringLiterals;

namespace {

constexpr int kWaitMs = 10000;
const QString kIdentifier = QStringLiteral("abc");
constexpr char kType[] = "_GAME-3025F862._tcp.";

// The phone's end on 127.0.0.1: answers the PC's identity with its own (unless told to stay
// silent) and counts the application frames it receives.
class TestPhone : public QObject {
public:
    enum class Mode { Answer, Silent };
    explicit TestPhone(Mode answering = Mode::Answer) : mode(answering) {
        server.listen(QHostAddress::LocalHost);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                sockets.append(socket);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            }
        });
    }
    std::uint16_t port() const { return server.serverPort(); }
    void sendToAll(const QByteArray& payload) {
        for (const auto& socket : sockets)
            if (socket) socket->write(test::frame(payload));
    }
    void closeAll() {
        for (const auto& socket : sockets)
            if (socket) socket->close();
    }
    int openSockets() const {
        int open = 0;
        for (const auto& socket : sockets)
            if (socket && socket->state() == QAbstractSocket::ConnectedState) ++open;
        return open;
    }

    Mode mode;
    QTcpServer server;
    QList<QPointer<QTcpSocket>> sockets;
    int handshakes = 0;
    QList<QByteArray> received;

private:
    void read(QTcpSocket* socket) {
        QByteArray& buffer = buffers[socket];
        buffer += socket->readAll();
        while (buffer.size() >= qsizetype(wire::kFrameHeaderSize)) {
            const quint32 length = qFromBigEndian<quint32>(buffer.constData() + 4);
            if (buffer.size() < qsizetype(wire::kFrameHeaderSize + length)) return;
            const QByteArray payload = buffer.mid(wire::kFrameHeaderSize, length);
            buffer.remove(0, wire::kFrameHeaderSize + length);
            if (decodeDictionary(wire::kHandshakeMagic, payload)) {
                ++handshakes;
                if (mode == Mode::Answer)
                    socket->write(test::frame(test::handshakePayload(
                        {{QString(wire::kHandshakeID), u"PHONE-1"_s},
                         {QString(wire::kHandshakeName), u"Test Phone"_s}})));
            } else {
                received.append(payload);
            }
        }
    }
    QHash<QTcpSocket*, QByteArray> buffers;
};

// Records the client's callbacks, which arrive on the network thread as well as this one.
struct Recorder : GameClientDelegate {
    enum class Outcome { Connected, Failed, Disconnected };
    using Outcomes = QList<Outcome>;

    mutable std::mutex lock;
    int started = 0, updates = 0, stopping = 0, failed = 0, connected = 0, disconnected = 0;
    QList<QByteArray> data;
    std::map<const GamePeer*, Outcomes> outcomes;
    std::uint32_t implementedCallbacks() const override { return ~0u; }
    void gameClientDidStartDiscoveringServers(GameClient*) override { bump(started); }
    void gameClientDidUpdateOnlineServers(GameClient*) override { bump(updates); }
    void gameClientWillStopDiscoveringServers(GameClient*) override { bump(stopping); }
    void gameClientDidFailConnectingToServer(GameClient*,
                                             const std::shared_ptr<GamePeer>& peer) override {
        bump(failed, peer, Outcome::Failed);
    }
    void gameClientDidConnectToServer(GameClient*, const std::shared_ptr<GamePeer>& peer) override {
        bump(connected, peer, Outcome::Connected);
    }
    void gameClientDidReceiveData(GameClient*, const QByteArray& payload,
                                  const std::shared_ptr<GamePeer>&, bool) override {
        std::lock_guard guard(lock);
        data.append(payload);
    }
    void gameClientDidDisconnectFromServer(GameClient*,
                                           const std::shared_ptr<GamePeer>& peer) override {
        bump(disconnected, peer, Outcome::Disconnected);
    }
    int get(const int& counter) const {
        std::lock_guard guard(lock);
        return counter;
    }
    Outcomes outcomesOf(const std::shared_ptr<GamePeer>& peer) const {
        std::lock_guard guard(lock);
        const auto found = outcomes.find(peer.get());
        return found == outcomes.end() ? Outcomes{} : found->second;
    }
    int received() const {
        std::lock_guard guard(lock);
        return static_cast<int>(data.size());
    }

private:
    void bump(int& counter) {
        std::lock_guard guard(lock);
        ++counter;
    }
    void bump(int& counter, const std::shared_ptr<GamePeer>& peer, Outcome outcome) {
        std::lock_guard guard(lock);
        ++counter;
        outcomes[peer.get()].append(outcome);
    }
};

// Holds the network thread inside its connect callback until the test lets it go.
struct SlowDelegate : Recorder {
    std::mutex gate;
    std::condition_variable changed;
    bool inside = false, released = false, finished = false;

    void gameClientDidConnectToServer(GameClient* client,
                                      const std::shared_ptr<GamePeer>& peer) override {
        Recorder::gameClientDidConnectToServer(client, peer);
        std::unique_lock held(gate);
        inside = true;
        changed.notify_all();
        changed.wait_for(held, std::chrono::milliseconds(kWaitMs), [this] { return released; });
        finished = true;
    }
    bool isInside() {
        std::lock_guard held(gate);
        return inside;
    }
    bool hasFinished() {
        std::lock_guard held(gate);
        return finished;
    }
    void release() {
        std::lock_guard held(gate);
        released = true;
        changed.notify_all();
    }
};

// Disconnects its phone and clears itself from inside its connect callback.
struct SelfClearingDelegate : Recorder {
    std::atomic<bool> cleared{false};
    void gameClientDidConnectToServer(GameClient* client,
                                      const std::shared_ptr<GamePeer>& peer) override {
        Recorder::gameClientDidConnectToServer(client, peer);
        client->disconnectFromServer(peer); // its disconnect callback comes on this thread
        client->setDelegate(nullptr);
        cleared = true;
    }
};

// One attempt ends one way: connected then disconnected, or failed.
bool endedOnce(const Recorder::Outcomes& outcomes) {
    using O = Recorder::Outcome;
    return outcomes == Recorder::Outcomes{O::Failed} ||
           outcomes == Recorder::Outcomes{O::Connected, O::Disconnected};
}

// A phone on 127.0.0.1 that answers every dial with its identity the moment it accepts, from a
// thread of its own, so the PC's handshake can complete at any moment after the dial. A dial
// dropped while still in the kernel's hands never arrives, so it serves until it is stopped.
class EagerPhone {
public:
    EagerPhone() : mThread([this] { serve(); }) {}
    ~EagerPhone() {
        mStop = true;
        mThread.join();
    }
    std::uint16_t port() const { return mServer.port(); }

private:
    static constexpr int kAcceptSliceMs = 20; // how soon a stop is noticed
    void serve() {
        const QByteArray identity =
            test::frame(test::handshakePayload({{QString(wire::kHandshakeID), u"PHONE-1"_s},
                                                {QString(wire::kHandshakeName), u"Eager"_s}}));
        while (!mStop) {
            if (!mServer.accept(kAcceptSliceMs)) continue;
            mServer.send(identity); // the dial may be gone already
        }
    }

    test::RawServer mServer;
    std::atomic<bool> mStop{false};
    std::thread mThread;
};

// Lets `duration` pass without giving up the processor, to place a call at a chosen moment.
void spinFor(std::chrono::microseconds duration) {
    const auto until = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < until)
        std::this_thread::yield();
}

} // namespace

class GameClientTest : public QObject {
    Q_OBJECT
    ScriptedDnsSdControl dnssd;
    std::unique_ptr<Recorder> recorder;
    std::shared_ptr<GameClient> client;

    // Lets the client's browser find `instance` at 127.0.0.1:`port` and polls until it is listed.
    void announce(const char* instance, std::uint16_t port, const char* host = "127.0.0.1") {
        dnssd.resolveReply(instance, 0, instance, host, port);
        const int before = recorder->get(recorder->updates);
        QVERIFY(dnssd.browseEvent(kDNSServiceFlagsAdd, 1, instance, kType, "local.", 0));
        QTRY_VERIFY_WITH_TIMEOUT(recorder->get(recorder->updates) > before, kWaitMs);
    }
    void withdraw(const char* instance) {
        const int before = recorder->get(recorder->updates);
        QVERIFY(dnssd.browseEvent(0, 1, instance, kType, "local.", 0));
        QTRY_VERIFY_WITH_TIMEOUT(recorder->get(recorder->updates) > before, kWaitMs);
    }
    std::shared_ptr<GamePeer> onlineWithID(const QString& id) {
        for (const auto& peer :
             client->onlineServers().value_or(std::vector<GameClient::PeerPtr>{}))
            if (peer->uniqueID() == id) return peer;
        return nullptr;
    }

private slots:
    void initTestCase() { QVERIFY(startWithScriptedDnsSd(dnssd)); }
    void init() {
        dnssd.reset();
        recorder = std::make_unique<Recorder>();
        client = GameClient::create();
        client->setDelegate(recorder.get());
    }
    void cleanup() {
        if (client) client->setDelegate(nullptr);
        client.reset();
        recorder.reset();
    }

    void applicationProtocolHash() {
        QCOMPARE(_ApplicationProtocolFromGameIdentifier(u"abc"_s), u"GAME-3025F862"_s);
        // UTF-8 bytes above 127 count as negative numbers.
        QCOMPARE(_ApplicationProtocolFromGameIdentifier(QString::fromUtf8("\xc3\xa9")),
                 u"GAME-FFC2F0A6"_s);
        QCOMPARE(client->name().isEmpty(), false);
        QCOMPARE(GameClient::create(u"Desk"_s)->name(), u"Desk"_s);
    }

    void discoveryStartsOnceAndStops() {
        QVERIFY(!client->startDiscoveringServersWithIdentifier(u""_s));
        QVERIFY(!client->onlineServers());
        QVERIFY(client->startDiscoveringServersWithIdentifier(kIdentifier));
        QCOMPARE(QString::fromUtf8(dnssd.lastBrowseType()), QString::fromLatin1(kType));
        QVERIFY(!client->startDiscoveringServersWithIdentifier(kIdentifier));
        QCOMPARE(recorder->started, 1);
        QVERIFY(client->isDiscoveringServers());
        QVERIFY(client->onlineServers() && client->onlineServers()->empty());
        client->stopDiscoveringServers();
        QCOMPARE(recorder->stopping, 1);
        QVERIFY(!client->isDiscoveringServers());
        QCOMPARE(dnssd.openOperations(), 0);
        client->stopDiscoveringServers();
        QCOMPARE(recorder->stopping, 1);
    }

    void stopFromTheNetworkThreadEndsDiscoveryOnItsOwnThread() {
        // As when a phone has connected: the stop comes from the network thread while this
        // thread owns the browser, its timer and its operations.
        QTest::failOnWarning(QRegularExpression(u"another thread"_s));
        QVERIFY(client->startDiscoveringServersWithIdentifier(kIdentifier));
        std::atomic<bool> stopped{false};
        runOn(gClientRunloop.load(), [&] {
            client->stopDiscoveringServers();
            stopped = true;
        });
        QVERIFY(QTest::qWaitFor([&] { return stopped.load(); }, kWaitMs));
        QVERIFY(!client->isDiscoveringServers());
        QTRY_COMPARE_WITH_TIMEOUT(dnssd.openOperations(), 0, kWaitMs);
        QCOMPARE(recorder->get(recorder->stopping), 1);
        QVERIFY(client->startDiscoveringServersWithIdentifier(kIdentifier));
    }

    void failedBrowseLeavesDiscoveryOff() {
        dnssd.failBrowse(kDNSServiceErr_Unknown);
        QVERIFY(!client->startDiscoveringServersWithIdentifier(kIdentifier));
        QVERIFY(!client->isDiscoveringServers());
        QCOMPARE(recorder->started, 0);
        dnssd.failBrowse(0);
        QVERIFY(client->startDiscoveringServersWithIdentifier(kIdentifier));
    }

    void servicesComeReplaceAndGo() {
        QVERIFY(client->startDiscoveringServersWithIdentifier(kIdentifier));
        announce("ABC:Phone", 34345, "10.0.0.7");
        auto first = onlineWithID(u"ABC"_s);
        QVERIFY(first);
        QCOMPARE(first->name().value_or(QString()), u"Phone"_s);
        QVERIFY(first->isService());
        // The same address again: a new idle peer takes the old one's place.
        announce("ABC:Phone", 34345, "10.0.0.7");
        QCOMPARE(client->onlineServers()->size(), size_t(1));
        QCOMPARE_NE(onlineWithID(u"ABC"_s), first);
        // A service whose name has no ":" makes no peer and no update: the update of a service
        // announced after it is the only one.
        const int updates = recorder->get(recorder->updates);
        dnssd.resolveReply("nocolon", 0, "nocolon", "10.0.0.9", 1);
        dnssd.browseEvent(kDNSServiceFlagsAdd, 1, "nocolon", kType, "local.", 0);
        announce("DEF:Later", 34346, "10.0.0.8");
        QCOMPARE(recorder->get(recorder->updates), updates + 1);
        QCOMPARE(client->onlineServers()->size(), size_t(2));
        withdraw("ABC:Phone");
        withdraw("DEF:Later");
        QVERIFY(client->onlineServers()->empty());
    }

    void oneListingPerUniqueID() {
        TestPhone phone;
        QVERIFY(client->startDiscoveringServersWithIdentifier(kIdentifier));
        announce("PHONE-1:Old address", 34345, "10.0.0.7");
        announce("PHONE-1:Same phone, second name", 34346, "10.0.0.7");
        announce("LATER:New address", phone.port());
        QCOMPARE(client->onlineServers()->size(), size_t(2));
        // The later of two idle entries is listed: the earlier one is the stale address.
        QCOMPARE(onlineWithID(u"PHONE-1"_s)->name().value_or(u""_s), u"Same phone, second name"_s);
        // The handshake tells that the new address is the same phone; the listing must survive
        // two entries of one ID and prefer the connected one.
        auto fresh = onlineWithID(u"LATER"_s);
        QVERIFY(client->connectToServer(fresh));
        QTRY_COMPARE_WITH_TIMEOUT(recorder->get(recorder->connected), 1, kWaitMs);
        QCOMPARE(fresh->uniqueID().value_or(u""_s), u"PHONE-1"_s);
        const auto listed = client->onlineServers().value();
        QCOMPARE(listed.size(), size_t(1));
        QCOMPARE(listed.front(), fresh);
    }

    void connectHandshakeDataAndClose() {
        TestPhone phone;
        QVERIFY(client->startDiscoveringServersWithIdentifier(kIdentifier));
        announce("ABC:Phone", phone.port());
        auto peer = onlineWithID(u"ABC"_s);
        QVERIFY(!client->connectToServer(nullptr));
        QVERIFY(client->connectToServer(peer));
        QVERIFY(!client->connectToServer(peer)); // already connecting
        QVERIFY(client->connectedOrConnectingToAServer());
        QTRY_COMPARE_WITH_TIMEOUT(recorder->get(recorder->connected), 1, kWaitMs);
        QCOMPARE(phone.handshakes, 1);
        QVERIFY(!client->connectToServer(peer)); // already connected
        QVERIFY(client->haveAConnectedServer());
        QVERIFY(client->connectingServers().empty());
        QCOMPARE(client->connectedServers(), std::vector<GameClient::PeerPtr>{peer});
        QCOMPARE(peer->name().value_or(u""_s), u"Test Phone"_s);

        // A connected phone whose service goes away stays connected and keeps talking.
        withdraw("ABC:Phone");
        QVERIFY(client->onlineServers()->empty());
        phone.sendToAll("application bytes");
        QTRY_COMPARE_WITH_TIMEOUT(recorder->received(), 1, kWaitMs);
        QCOMPARE(recorder->data.front(), QByteArray("application bytes"));
        QVERIFY(client->sendData("to the phone", peer, false));
        QTRY_COMPARE_WITH_TIMEOUT(phone.received.size(), qsizetype(1), kWaitMs);
        QCOMPARE(phone.received.front(), QByteArray("to the phone"));

        // Stopping discovery leaves the connection alone.
        client->stopDiscoveringServers();
        QVERIFY(client->haveAConnectedServer());

        phone.closeAll();
        QTRY_COMPARE_WITH_TIMEOUT(recorder->get(recorder->disconnected), 1, kWaitMs);
        QVERIFY(!client->connectedOrConnectingToAServer());
        QVERIFY(!client->sendData("late", peer, false));
        QCOMPARE(recorder->get(recorder->failed), 0);
    }

    void nothingIsSentBeforeTheHandshake() {
        TestPhone silent(TestPhone::Mode::Silent);
        auto peer = GameClient::serverWithIPv4Address(0x7F000001, silent.port());
        QVERIFY(client->connectToServer(peer));
        QTRY_COMPARE_WITH_TIMEOUT(silent.handshakes, 1, kWaitMs);
        QVERIFY(!client->sendData("too early", peer, true));
        QCOMPARE(client->connectingServers(), std::vector<GameClient::PeerPtr>{peer});
        client->disconnectFromServer(peer);
        QCOMPARE(recorder->get(recorder->failed), 1);
        QVERIFY(!client->connectedOrConnectingToAServer());
        // Whatever was sent arrives before the close.
        QTRY_COMPARE_WITH_TIMEOUT(silent.openSockets(), 0, kWaitMs);
        QVERIFY(test::settleNetworkThread());
        QVERIFY(silent.received.isEmpty());
        QCOMPARE(recorder->get(recorder->failed), 1);
        QCOMPARE(recorder->get(recorder->disconnected), 0);
    }

    void refusedConnectionFailsOnce() {
        std::uint16_t closedPort = 0;
        {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost);
            closedPort = probe.serverPort();
        }
        auto peer = GameClient::serverWithIPv4Address(0x7F000001, closedPort);
        QVERIFY(client->connectToServer(peer));
        QTRY_COMPARE_WITH_TIMEOUT(recorder->get(recorder->failed), 1, kWaitMs);
        QVERIFY(client->connectingServers().empty());
        QVERIFY(test::settleNetworkThread());
        QCOMPARE(recorder->get(recorder->failed), 1);
        QCOMPARE(recorder->get(recorder->connected), 0);
        // The peer can be tried again.
        QVERIFY(client->connectToServer(peer));
        QTRY_COMPARE_WITH_TIMEOUT(recorder->get(recorder->failed), 2, kWaitMs);
    }

    void disconnectDuringTheHandshakeEndsEachAttemptOnce() {
        // A worker disconnects while the network thread may be taking the phone's identity.
        constexpr int kRounds = 300;
        // The disconnect follows the handshake's end: later after a failed attempt, earlier
        // after a connected one, so that it keeps landing where the two meet.
        constexpr std::chrono::microseconds kStep(2);
        std::chrono::microseconds moment(0);
        constexpr int kSettleMs = 1000;
        constexpr qint64 kBudgetMs = 120'000;
        EagerPhone phone;
        std::vector<std::shared_ptr<GamePeer>> peers;
        int bad = 0;
        QElapsedTimer clock;
        clock.start();
        for (int round = 0; round < kRounds && clock.elapsed() < kBudgetMs; ++round) {
            auto peer = GameClient::serverWithIPv4Address(0x7F000001, phone.port());
            peers.push_back(peer);
            const auto listed = [this, peer] {
                const auto connecting = client->connectingServers();
                const auto connected = client->connectedServers();
                return std::count(connecting.begin(), connecting.end(), peer) +
                           std::count(connected.begin(), connected.end(), peer) >
                       0;
            };
            // The worker watches for the dial, so only the chosen moment separates the two.
            std::thread worker([this, peer, moment, listed] {
                const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
                while (!listed() && std::chrono::steady_clock::now() < giveUp)
                    std::this_thread::yield();
                spinFor(moment);
                client->disconnectFromServer(peer);
            });
            const bool connecting = client->connectToServer(peer);
            worker.join();
            QVERIFY(connecting);
            if (!test::waitUntil([&] { return endedOnce(recorder->outcomesOf(peer)) && !listed(); },
                                 kSettleMs)) {
                ++bad;
                qInfo("round %d: %lld outcomes, still listed: %d", round,
                      static_cast<long long>(recorder->outcomesOf(peer).size()),
                      static_cast<int>(listed()));
            }
            if (recorder->outcomesOf(peer).value(0) == Recorder::Outcome::Failed)
                moment += kStep;
            else
                moment = std::max(moment - kStep, std::chrono::microseconds(0));
        }
        qInfo("%d rounds: %d connected, %d failed, %d bad", static_cast<int>(peers.size()),
              recorder->get(recorder->connected), recorder->get(recorder->failed), bad);
        QCOMPARE(static_cast<int>(peers.size()), kRounds);
        QCOMPARE(bad, 0);
        for (const auto& peer : peers) // nothing came late
            QVERIFY(endedOnce(recorder->outcomesOf(peer)));
        QVERIFY(!client->haveAConnectedServer());
        QVERIFY(!client->connectedOrConnectingToAServer());
    }

    void clearingTheDelegateWaitsForACallbackInFlight() {
        TestPhone phone;
        SlowDelegate slow;
        client->setDelegate(&slow);
        auto peer = GameClient::serverWithIPv4Address(0x7F000001, phone.port());
        QVERIFY(client->connectToServer(peer));
        QTRY_VERIFY_WITH_TIMEOUT(slow.isInside(), kWaitMs);

        // The callback is let go once the clear has returned, or after a grace in which a clear
        // that does not wait would have returned.
        constexpr auto kGrace = std::chrono::milliseconds(200);
        std::mutex clearLock;
        std::condition_variable clearDone;
        bool cleared = false;
        std::thread releaser([&] {
            std::unique_lock lock(clearLock);
            clearDone.wait_for(lock, kGrace, [&] { return cleared; });
            slow.release();
        });
        client->setDelegate(nullptr);
        const bool finishedBeforeReturn = slow.hasFinished();
        {
            std::lock_guard lock(clearLock);
            cleared = true;
        }
        clearDone.notify_all();
        releaser.join();
        QVERIFY(finishedBeforeReturn);

        // Nothing more reaches it: the next delegate hears the data and the end.
        client->setDelegate(recorder.get());
        phone.sendToAll("after the change");
        QTRY_COMPARE_WITH_TIMEOUT(recorder->received(), 1, kWaitMs);
        client->disconnectFromServer(peer);
        QCOMPARE(recorder->get(recorder->disconnected), 1);
        QCOMPARE(slow.received(), 0);
        QCOMPARE(slow.get(slow.disconnected), 0);
    }

    void aDelegateClearsItselfFromItsCallback() {
        TestPhone phone;
        SelfClearingDelegate self;
        client->setDelegate(&self);
        auto peer = GameClient::serverWithIPv4Address(0x7F000001, phone.port());
        QVERIFY(client->connectToServer(peer));
        QTRY_VERIFY_WITH_TIMEOUT(self.cleared.load(), kWaitMs);
        QCOMPARE(self.get(self.disconnected), 1);
        QCOMPARE(client->delegate(), nullptr);
        QVERIFY(!client->connectedOrConnectingToAServer());
    }

    void destructionDisconnectsSilently() {
        TestPhone phone, silent(TestPhone::Mode::Silent);
        auto connected = GameClient::serverWithIPv4Address(0x7F000001, phone.port());
        auto connecting = GameClient::serverWithIPv4Address(0x7F000001, silent.port());
        QVERIFY(client->startDiscoveringServersWithIdentifier(kIdentifier));
        QVERIFY(client->connectToServer(connected));
        QVERIFY(client->connectToServer(connecting));
        QTRY_COMPARE_WITH_TIMEOUT(recorder->get(recorder->connected), 1, kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(silent.handshakes, 1, kWaitMs);
        client.reset();
        QVERIFY(!connected->isConnected() && !connecting->isConnecting());
        QCOMPARE(recorder->get(recorder->disconnected), 0);
        QCOMPARE(recorder->get(recorder->failed), 0);
        QCOMPARE(recorder->get(recorder->stopping), 0);
        QTRY_COMPARE_WITH_TIMEOUT(phone.openSockets() + silent.openSockets(), 0, kWaitMs);
        QCOMPARE(dnssd.openOperations(), 0);
    }
};

QTEST_GUILESS_MAIN(GameClientTest)
#include "tst_gameclient.moc"
