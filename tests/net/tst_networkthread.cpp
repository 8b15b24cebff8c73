#include "NetTestSupport.h"
#include "net/NetworkThread.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

using namespace vantle;

class NetworkThreadTest : public QObject {
    Q_OBJECT

private slots:
    void startedOncePublishedBeforeReturningAndKeptTurning() {
        QVERIFY(!gClientRunloop.load());
        constexpr int kStarters = 4;
        std::vector<QObject*> seen(kStarters, nullptr);
        std::vector<std::thread> starters;
        for (int i = 0; i < kStarters; ++i)
            starters.emplace_back([&seen, i] { seen[i] = startNetworkThread(); });
        for (auto& starter : starters)
            starter.join();
        QObject* loop = gClientRunloop.load();
        QVERIFY(loop);
        for (QObject* each : seen)
            QCOMPARE(each, loop); // one thread, seen by every starter
        QCOMPARE_NE(loop->thread(), QThread::currentThread());
        QVERIFY(loop->thread()->isRunning());
        const auto timers = loop->findChildren<QTimer*>();
        QCOMPARE(timers.size(), 1);
        QCOMPARE(timers.front()->interval(), 100);
        QVERIFY(timers.front()->isActive());

        // Work handed to it runs there.
        std::atomic<bool> ran{false};
        QMetaObject::invokeMethod(
            loop, [&] { ran = QThread::currentThread() == loop->thread(); },
            Qt::BlockingQueuedConnection);
        QVERIFY(ran);
        QCOMPARE(startNetworkThread(), loop);
    }

    // Last: the thread does not start again.
    void stoppedAtTheEndOfTheProcessWithinItsBound() {
        QObject* loop = startNetworkThread();
        test::OpenConnection open;
        QVERIFY(open.open());

        // A handler still at work: the stop gives up after its bound and says so.
        std::mutex held;
        std::condition_variable released;
        bool release = false;
        QMetaObject::invokeMethod(loop, [&] {
            std::unique_lock lock(held);
            released.wait(lock, [&] { return release; });
        });
        constexpr int kShortBoundMs = 200;
        QElapsedTimer waited;
        waited.start();
        QVERIFY(!stopNetworkThread(kShortBoundMs));
        QVERIFY(waited.elapsed() >= kShortBoundMs);
        QVERIFY(waited.elapsed() < test::kWaitMs);
        {
            std::lock_guard lock(held);
            release = true;
        }
        released.notify_all();

        QVERIFY(stopNetworkThread(test::kWaitMs));
        QVERIFY(loop->thread()->isFinished());
        // A connection left open can still be closed, without hanging on the stopped thread.
        open.connection->invalidate();
        QVERIFY(!open.connection->isValid());
        QVERIFY(stopNetworkThread(test::kWaitMs));
    }
};

QTEST_GUILESS_MAIN(NetworkThreadTest)
#include "tst_networkthread.moc"
