#include "platform/BackgroundWork.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <atomic>
#include <memory>
#include <vector>

using namespace vantle;
using namespace std::chrono_literals;

namespace {

constexpr int kWaitMs = 5000;
// How long a late worker waits for its gate before it ends by itself.
constexpr int kLateWorkerMs = 300;
constexpr auto kShortLimit = 50ms;
// Room for the scheduler beyond a limit.
constexpr qint64 kSlackMs = 1000;

// Work that ends once its gate opens, or after kLateWorkerMs; `started` and `ended` tell the test.
struct Gate {
    QSemaphore open;
    QSemaphore started;
    QSemaphore ended;
    std::atomic<int> ran{0};

    auto work() {
        return [this] {
            started.release();
            open.tryAcquire(1, kLateWorkerMs);
            ++ran;
            ended.release();
            return 1;
        };
    }
};

} // namespace

class BackgroundWorkTest : public QObject {
    Q_OBJECT
private slots:
    void resultsComeBackOnTheOwnersThreadInOrder() {
        QObject owner;
        auto* group = new BackgroundWork(1, &owner);
        std::vector<int> results;
        std::vector<QThread*> workedOn;
        std::vector<QThread*> doneOn;
        for (int i = 0; i < 3; ++i)
            QVERIFY(group->runThenCallback(
                [i, &workedOn] {
                    workedOn.push_back(QThread::currentThread());
                    return i;
                },
                [&](int result) {
                    results.push_back(result);
                    doneOn.push_back(QThread::currentThread());
                }));
        QVERIFY(!group->idle());
        QTRY_VERIFY_WITH_TIMEOUT(group->idle(), kWaitMs);
        QCOMPARE(results, (std::vector<int>{0, 1, 2}));
        for (size_t i = 0; i < results.size(); ++i) {
            QVERIFY(workedOn[i] != owner.thread());
            QCOMPARE(doneOn[i], owner.thread());
        }

        // The end of the program has no event loop left: finish() hands results in at once.
        bool done = false;
        QVERIFY(group->run([] {}));
        QVERIFY(group->runThenCallback([] {}, [&] { done = true; }));
        QVERIFY(group->finish(std::chrono::milliseconds(kWaitMs)));
        QVERIFY(done);
        QVERIFY(group->idle());
    }

    // Once the group is shut down or gone its results are dropped, whenever the work ends.
    void resultsAreDroppedOnceTheGroupIsGone_data() {
        QTest::addColumn<bool>("endsFirst");
        QTest::addColumn<bool>("destroyed");
        QTest::newRow("owner destroyed after the work ended") << true << true;
        QTest::newRow("owner destroyed while the work runs") << false << true;
        QTest::newRow("shut down after the work ended") << true << false;
        QTest::newRow("shut down while the work runs") << false << false;
    }
    void resultsAreDroppedOnceTheGroupIsGone() {
        QFETCH(bool, endsFirst);
        QFETCH(bool, destroyed);
        Gate gate;
        bool called = false;
        auto owner = std::make_unique<QObject>();
        auto* group = new BackgroundWork(1, owner.get());
        QVERIFY(group->runThenCallback(gate.work(), [&](int) { called = true; }));
        QVERIFY(gate.started.tryAcquire(1, kWaitMs));
        if (endsFirst) {
            gate.open.release();
            QVERIFY(gate.ended.tryAcquire(1, kWaitMs));
        }
        if (destroyed)
            owner.reset();
        else
            group->shutDown(std::chrono::milliseconds(kWaitMs));
        QCOMPARE(gate.ran.load(), 1);
        QCoreApplication::sendPostedEvents();
        QVERIFY(!called);
        if (!destroyed) QVERIFY(group->idle());
    }

    void shutDownIsBoundedAndRefusesLaterWork() {
        Gate gate;
        BackgroundWork group(1);
        bool called = false;
        QVERIFY(group.runThenCallback(gate.work(), [&](int) { called = true; }));
        bool queuedRan = false;
        QVERIFY(group.run([&] { queuedRan = true; }));
        QVERIFY(gate.started.tryAcquire(1, kWaitMs));

        QElapsedTimer clock;
        clock.start();
        QVERIFY(!group.shutDown(kShortLimit));
        QVERIFY(clock.elapsed() < kShortLimit.count() + kSlackMs);

        bool laterRan = false;
        QVERIFY(!group.runThenCallback([&] { laterRan = true; }, [&] { called = true; }));
        gate.open.release();
        QVERIFY(group.finish(std::chrono::milliseconds(kWaitMs)));
        QVERIFY(!queuedRan);
        QVERIFY(!laterRan);
        QVERIFY(!called);
        QVERIFY(group.idle());
    }
};

QTEST_GUILESS_MAIN(BackgroundWorkTest)
#include "tst_backgroundwork.moc"
