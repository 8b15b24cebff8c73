#include "NetTestSupport.h"
#include "net/GamePeer.h"
#include "net/NetworkThread.h"
#include "net/TCPConnection.h"
#include "platform/MainThread.h"
#include "support/harness/Watchdog.h"

#include <QtTest>
#include <chrono>
#include <future>
#include <thread>

using namespace vantle;
using namespace vantle::test;
using namespace std::chrono_literals;

namespace {

// The shortened limits the tests run with.
constexpr std::chrono::milliseconds kShortLimit = 300ms;
constexpr qsizetype kHugeFrame = qsizetype{64} * 1024 * 1024;
constexpr qsizetype kSmallAnswer = 200;
constexpr int kTimerMs = 50;

// A peer that has completed the handshake with a RawServer playing the phone.
struct HandshakenPeer {
    RawServer server;
    std::shared_ptr<PeerRecorder> recorder = std::make_shared<PeerRecorder>();
    std::shared_ptr<GamePeer> peer;

    bool connect() {
        peer = GamePeer::create(QStringLiteral("Manual:Connection"), server.address());
        peer->setDelegate(recorder);
        peer->setPingTimeout(static_cast<int>(kShortLimit.count()));
        return peer->connect() && server.accept() && answerHandshake(server) &&
               waitUntil([&] { return recorder->connected == 1; });
    }
    // The next frame the phone gets is `payload`, not something sent before it.
    bool nextFrameIs(const QByteArray& payload) {
        return server.receiveFrame().value_or(QByteArray()) == payload;
    }
};

enum class Result { Pending, Failed, Succeeded };

Result resultOf(bool ok) {
    return ok ? Result::Succeeded : Result::Failed;
}

} // namespace

class ConnectionLimitsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(startNetworkThread()); }

    void stalledReaderFailsEveryWriterAndFreesTheNetworkThread() {
        OpenConnection stalled, lively;
        QVERIFY(stalled.open() && lively.open());
        stalled.connection->setWriteStallLimit(kShortLimit);
        struct Outcome {
            std::atomic<Result> worker{Result::Pending}, answer{Result::Pending};
            std::atomic<qint64> workerMs{-1};
            std::atomic<bool> timerFired{false};
        };
        auto outcome = std::make_shared<Outcome>();
        auto connection = stalled.connection;
        Watchdog watchdog(kWaitMs, [connection] { connection->invalidate(); });
        QElapsedTimer clock;
        clock.start();
        std::thread worker([connection, outcome, clock] {
            outcome->worker = resultOf(connection->sendData(QByteArray(kHugeFrame, 'w')));
            outcome->workerMs = clock.elapsed();
        });
        // The phone takes the header and reads no more: the worker now holds the write side.
        const QByteArray header = stalled.server.receive(wire::kFrameHeaderSize);
        QCOMPARE(header.size(), static_cast<qsizetype>(wire::kFrameHeaderSize));
        QObject* network = gClientRunloop.load();
        runOn(network, [network, connection, outcome] {
            performAfterDelay(network, kTimerMs, [outcome] { outcome->timerFired = true; });
            outcome->answer = resultOf(connection->sendData(QByteArray(kSmallAnswer, 'a')));
        });
        QVERIFY(lively.server.send(frame("meanwhile")));

        QVERIFY(waitUntil([&] {
            return outcome->worker != Result::Pending && outcome->answer != Result::Pending;
        }));
        worker.join();
        QCOMPARE(outcome->worker.load(), Result::Failed);
        QCOMPARE(outcome->answer.load(), Result::Failed);
        QVERIFY2(outcome->workerMs >= kShortLimit.count() && outcome->workerMs < kWaitMs,
                 qPrintable(QString::number(outcome->workerMs)));
        QVERIFY(waitUntil([&] { return outcome->timerFired.load(); }));
        QVERIFY(waitUntil([&] { return lively.recorder->received == 1; }));
        QCOMPARE(lively.recorder->payloads().front(), QByteArray("meanwhile"));
        QVERIFY(waitUntil([&] { return stalled.recorder->closed == 1; }));
        QCOMPARE(stalled.recorder->closed.load(), 1);
        QCOMPARE(stalled.recorder->failedOpening.load(), 0);
        QVERIFY(!stalled.connection->isValid());
        QVERIFY2(stalled.connection->failureReason().contains(QStringLiteral("took no data")),
                 qPrintable(stalled.connection->failureReason()));
        QVERIFY(lively.connection->isValid());
    }

    void receiveDataGivesUpWithoutLosingAFrame() {
        OpenConnection c;
        QVERIFY(c.open());
        auto connection = c.connection;
        Watchdog watchdog(kWaitMs, [connection] { connection->invalidate(); });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!c.connection->receiveData(kShortLimit)); // nothing comes
        QVERIFY(clock.elapsed() >= kShortLimit.count());
        QVERIFY2(clock.elapsed() < kWaitMs, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(c.connection->isValid());

        // Half a frame when the time runs out: the rest reaches the delegate, whole and in order.
        const QByteArray payload = patterned(1 << 16, 'p');
        const QByteArray stream = frame(payload);
        {
            const auto claim = c.connection->claimReadSide();
            QVERIFY(c.server.send(stream.first(stream.size() / 2)));
            QVERIFY(!c.connection->receiveData(kShortLimit));
        }
        QVERIFY(c.server.send(stream.sliced(stream.size() / 2) + frame("next")));
        QVERIFY(waitUntil([&] { return c.recorder->received == 2; }));
        QCOMPARE(c.recorder->payloads(), (std::vector<QByteArray>{payload, QByteArray("next")}));
        QVERIFY(c.connection->isValid());
        QCOMPARE(c.recorder->closed.load(), 0);
    }

    void unansweredPingGivesUpAndKeepsTheConnection() {
        HandshakenPeer p;
        QVERIFY(p.connect());
        auto peer = p.peer;
        Watchdog watchdog(kWaitMs, [peer] { peer->disconnect(); });
        const QByteArray ping = handshakePayload({});
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(p.peer->measureRoundTripLatency(), -1.0);
        QVERIFY(clock.elapsed() >= kShortLimit.count());
        QVERIFY2(clock.elapsed() < kWaitMs, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(p.nextFrameIs(ping));
        QVERIFY(p.peer->isConnected());

        // The echo comes late: it is not answered (the phone would echo that again, for good),
        // and the connection still hears the phone.
        QVERIFY(p.server.send(frame(ping) + frame("later")));
        QVERIFY(waitUntil([&] { return p.recorder->received == 1; }));
        QCOMPARE(p.recorder->payloads().front(), QByteArray("later"));
        QVERIFY(p.peer->sendData("marker", false));
        QVERIFY(p.nextFrameIs("marker"));
        // The phone's own ping is answered as before.
        QVERIFY(p.server.send(frame(ping)));
        QVERIFY(p.nextFrameIs(ping));
    }

    void lateEchoIsNotTakenForTheNextPing() {
        HandshakenPeer p;
        QVERIFY(p.connect());
        auto peer = p.peer;
        Watchdog watchdog(kWaitMs, [peer] { peer->disconnect(); });
        const QByteArray ping = handshakePayload({});
        QCOMPARE(p.peer->measureRoundTripLatency(), -1.0);
        QVERIFY(p.nextFrameIs(ping));

        auto second =
            std::async(std::launch::async, [peer] { return peer->measureRoundTripLatency(); });
        QVERIFY(p.nextFrameIs(ping));
        QVERIFY(p.server.send(frame(ping) + frame(ping))); // the first echo, late, then the second
        QCOMPARE(second.wait_for(std::chrono::milliseconds(kWaitMs)), std::future_status::ready);
        QVERIFY(second.get() >= 0.0);
        // Neither echo went back to the phone.
        QVERIFY(p.peer->sendData("marker", false));
        QVERIFY(p.nextFrameIs("marker"));
        QCOMPARE(p.recorder->received.load(), 0);
    }
};

QTEST_GUILESS_MAIN(ConnectionLimitsTest)
#include "tst_connectionlimits.moc"
