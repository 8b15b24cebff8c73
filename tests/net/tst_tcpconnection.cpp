#include "NetTestSupport.h"
#include "net/NetworkThread.h"
#include "net/TCPConnection.h"

#include <QtTest>
#include <thread>

using namespace vantle;
using namespace vantle::test;

namespace {
// Lets each part of a split header be read on its own; nothing marks a part as taken, so the
// test can only leave a gap.
constexpr unsigned long kSegmentGapMs = 50;
} // namespace

class TCPConnectionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(startNetworkThread()); }

    void opensOnceAndKnowsBothEnds() {
        OpenConnection c;
        QVERIFY(c.open());
        QVERIFY(c.connection->isValid());
        QCOMPARE(c.connection->remotePort(), c.server.port());
        QCOMPARE(c.connection->remoteIPv4Address(), 0x7F000001u);
        QCOMPARE_NE(c.connection->localPort(), std::uint16_t{0});
        QCOMPARE(*c.connection->remoteAddress(),
                 QStringLiteral("127.0.0.1:%1").arg(c.server.port()));
        QVERIFY(settleNetworkThread()); // a second report of the open would have come by now
        QCOMPARE(c.recorder->opened.load(), 1);
    }

    void delegateGivenAtCreationHearsAnOpenThatBeatsTheCaller() {
        RawServer server;
        auto recorder = std::make_shared<ConnectionRecorder>();
        auto connection = TCPConnection::create(server.address(), recorder);
        QVERIFY(connection);
        // A caller that loses the processor finds its loopback dial already open (the system
        // completes it before any accept); the open has still been reported, once.
        QVERIFY(waitUntil([&] { return connection->isValid(); }));
        QVERIFY(server.accept());
        QVERIFY(waitUntil([&] { return recorder->opened == 1; }));
        QVERIFY(server.send(frame("first")));
        QVERIFY(waitUntil([&] { return recorder->received == 1; }));
        QCOMPARE(recorder->opened.load(), 1);
    }

    void framesInBothDirections() {
        OpenConnection c;
        QVERIFY(c.open());
        QVERIFY(c.connection->sendData(QByteArray()));
        QCOMPARE(c.server.receive(8), frame(QByteArray())); // a bare header
        const QByteArray big = patterned(1 << 20, 'a');
        QVERIFY(c.connection->sendData(big));
        QCOMPARE(c.server.receiveFrame().value_or(QByteArray()), big);

        // Several frames in one segment, one of them empty, all delivered in order.
        QVERIFY(c.server.send(frame("first") + frame(QByteArray()) + frame(big)));
        QVERIFY(waitUntil([&] { return c.recorder->received == 3; }));
        const auto got = c.recorder->payloads();
        QCOMPARE(got[0], QByteArray("first"));
        QVERIFY(got[1].isEmpty());
        QCOMPARE(got[2], big);
    }

    void headerSplitAcrossSegmentsKeepsTheConnection() {
        OpenConnection c;
        QVERIFY(c.open());
        const QByteArray stream = frame("split header");
        QVERIFY(c.server.send(stream.first(3)));
        QThread::msleep(kSegmentGapMs);
        QVERIFY(c.server.send(stream.sliced(3, 7)));
        QThread::msleep(kSegmentGapMs);
        QVERIFY(c.server.send(stream.sliced(10)));
        QVERIFY(waitUntil([&] { return c.recorder->received == 1; }));
        QCOMPARE(c.recorder->payloads().front(), QByteArray("split header"));
        QVERIFY(c.connection->isValid());
        QCOMPARE(c.recorder->closed.load(), 0);
    }

    void stalledSenderDoesNotHoldUpOtherConnections() {
        OpenConnection stalled, lively;
        QVERIFY(stalled.open() && lively.open());
        const QByteArray big = patterned(1 << 20, 's');
        const QByteArray stream = frame(big);
        QVERIFY(stalled.server.send(stream.first(1000))); // then nothing for a while
        QVERIFY(lively.server.send(frame("meanwhile")));
        QVERIFY(waitUntil([&] { return lively.recorder->received == 1; }));
        QCOMPARE(stalled.recorder->received.load(), 0);
        QVERIFY(stalled.server.send(stream.sliced(1000)));
        QVERIFY(waitUntil([&] { return stalled.recorder->received == 1; }));
        QCOMPARE(stalled.recorder->payloads().front(), big);
    }

    void badFramesCloseTheConnection_data() {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray swapped = frame("x");
        swapped[0] = char(0xAB), swapped[1] = char(0xCD), swapped[2] = 0x12, swapped[3] = 0x34;
        QTest::newRow("byte-swapped magic") << swapped;
        const auto huge = frameHeader(wire::kMaxFramePayload + 1);
        QTest::newRow("over the size limit") << QByteArray(huge.data(), huge.size());
        QTest::newRow("end inside the header") << frame("abc").first(5);
        QTest::newRow("end inside the payload") << frame("abcdef").first(11);
    }

    void badFramesCloseTheConnection() {
        QFETCH(QByteArray, bytes);
        OpenConnection c;
        QVERIFY(c.open());
        QVERIFY(c.server.send(frame("good") + bytes));
        c.server.closeClient(); // no effect on the refused cases; ends the cut-short ones
        QVERIFY(waitUntil([&] { return c.recorder->closed == 1; }));
        QCOMPARE(c.recorder->payloads(), std::vector<QByteArray>{QByteArray("good")});
        QVERIFY(!c.connection->isValid());
        QCOMPARE(c.recorder->failedOpening.load(), 0);
    }

    void remoteCloseBetweenFramesClosesOnce() {
        OpenConnection c;
        QVERIFY(c.open());
        c.server.closeClient();
        QVERIFY(waitUntil([&] { return c.recorder->closed == 1; }));
        QVERIFY(c.recorder->closedOnNetworkThread);
        c.connection->invalidate();
        c.connection->invalidate();
        QVERIFY(settleNetworkThread());
        QCOMPARE(c.recorder->closed.load(), 1);
        QCOMPARE(c.recorder->failedOpening.load(), 0);
        QVERIFY(!c.connection->sendData("late"));
    }

    void refusedConnectionFailsOpeningOnly() {
        quint16 port = 0;
        {
            RawServer closedAgain; // a port that was free a moment ago
            port = closedAgain.port();
        }
        auto recorder = std::make_shared<ConnectionRecorder>();
        auto connection = TCPConnection::create(makeSocketAddress(0x7F000001, port), recorder);
        QVERIFY(connection);
        QVERIFY(waitUntil([&] { return recorder->failedOpening == 1; }));
        QCOMPARE(recorder->closed.load(), 0);
        QCOMPARE(recorder->opened.load(), 0);
        QVERIFY(!connection->failureReason().isEmpty());
    }

    void sendBeforeOpenFailsWithoutClosing() {
        RawServer server(0);
        const QueueFiller filler(server);
        QVERIFY(filler.queued());
        auto recorder = std::make_shared<ConnectionRecorder>();
        auto connection = TCPConnection::create(server.address(), recorder);
        QVERIFY(!connection->isValid()); // the full queue keeps it opening
        QVERIFY(!connection->sendData("too early"));
        QVERIFY(server.accept()); // the filler, making room for the dial's retry
        QVERIFY(server.accept());
        QVERIFY(waitUntil([&] { return recorder->opened == 1; }));
        QCOMPARE(recorder->closed.load(), 0);
        QCOMPARE(recorder->failedOpening.load(), 0);
        QVERIFY(connection->sendData("in time"));
        QCOMPARE(server.receiveFrame().value_or(QByteArray()), QByteArray("in time"));
    }

    void adoptedSocketOpensOnceAndCarriesFrames() {
        RawServer server;
        auto dialled = std::make_shared<ConnectionRecorder>();
        auto dialler = TCPConnection::create(server.address(), dialled);
        QVERIFY(server.accept());
        auto recorder = std::make_shared<ConnectionRecorder>();
        auto adopted = TCPConnection::adopt(server.takeClient(), recorder);
        QVERIFY(adopted && adopted->isValid());
        QVERIFY(waitUntil([&] { return recorder->opened == 1 && dialled->opened == 1; }));
        QVERIFY(dialler->sendData("to the adopted end"));
        QVERIFY(adopted->sendData("back"));
        QVERIFY(waitUntil([&] { return recorder->received == 1 && dialled->received == 1; }));
        QCOMPARE(recorder->payloads().front(), QByteArray("to the adopted end"));
        QVERIFY(settleNetworkThread());
        QCOMPARE(recorder->opened.load(), 1);
    }

    void invalidateBeforeOpenReportsFailOpeningOnce() {
        RawServer server(0);
        const QueueFiller filler(server);
        QVERIFY(filler.queued());
        auto recorder = std::make_shared<ConnectionRecorder>();
        auto connection = TCPConnection::create(server.address(), recorder);
        QVERIFY(!connection->isValid()); // the full queue keeps it opening
        connection->invalidate();
        connection->invalidate();
        QCOMPARE(recorder->failedOpening.load(), 1);
        QCOMPARE(recorder->closed.load(), 0);
        QVERIFY(settleNetworkThread());
        QCOMPARE(recorder->opened.load(), 0);
    }

    void framesFromManyThreadsNeverInterleave() {
        OpenConnection c;
        QVERIFY(c.open());
        constexpr int kThreads = 4, kFrames = 20;
        std::vector<std::thread> writers;
        for (int t = 0; t < kThreads; ++t)
            writers.emplace_back([&, t] {
                for (int i = 0; i < kFrames; ++i)
                    c.connection->sendData(QByteArray(200'000 + i, char('A' + t)));
            });
        int whole = 0;
        for (int i = 0; i < kThreads * kFrames; ++i) {
            const auto payload = c.server.receiveFrame();
            if (!payload) break;
            if (payload->count(payload->front()) == payload->size()) ++whole;
        }
        for (auto& writer : writers)
            writer.join();
        QCOMPARE(whole, kThreads * kFrames);
    }

    void failedWriteInvalidatesAndReleasesTheLock() {
        OpenConnection c;
        QVERIFY(c.open());
        c.server.closeClient();
        // Writes into a closed peer fail within a few frames; each later one fails at once.
        const QByteArray chunk(1 << 20, 'z');
        bool failed = false;
        for (int i = 0; i < 64 && !failed; ++i)
            failed = !c.connection->sendData(chunk);
        QVERIFY(failed);
        QVERIFY(!c.connection->isValid());
        QVERIFY(!c.connection->sendData(chunk));
        QVERIFY(waitUntil([&] { return c.recorder->closed == 1; }));
    }

    void receiveDataReadsOnTheCallingThread() {
        OpenConnection c;
        QVERIFY(c.open());
        QByteArray got;
        {
            const auto claim = c.connection->claimReadSide();
            QVERIFY(c.server.send(frame("sync")));
            got = c.connection->receiveData().value_or(QByteArray());
        }
        QCOMPARE(got, QByteArray("sync"));
        QCOMPARE(c.recorder->received.load(), 0); // the event path did not see it
        QVERIFY(c.server.send(frame("async")));
        QVERIFY(waitUntil([&] { return c.recorder->received == 1; }));
    }
};

QTEST_GUILESS_MAIN(TCPConnectionTest)
#include "tst_tcpconnection.moc"
