#include "net/NetworkThread.h"

#include <QTimer>
#include <QtTest>
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
};

QTEST_GUILESS_MAIN(NetworkThreadTest)
#include "tst_networkthread.moc"
