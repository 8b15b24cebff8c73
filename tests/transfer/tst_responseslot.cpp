#include "TransferTestSupport.h"
#include "transfer/ProtocolKeys.h"
#include "transfer/ResponseSlot.h"

#include <QTest>
#include <atomic>
#include <chrono>
#include <thread>

using namespace vantle;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

QVariantMap response(qint64 number, const QString& marker) {
    return {{keys::kResponseNum, number}, {marker, true}};
}

// A wait on a thread of its own.
struct WorkerWait : test::WorkerCall {
    WorkerWait(ResponseSlot& slot, std::int32_t number, std::atomic<bool>& connected)
        : WorkerCall([&slot, number, &connected] {
              return slot.waitForResponse(number, [&connected] { return connected.load(); });
          }) {}
};

} // namespace

class ResponseSlotTest : public QObject {
    Q_OBJECT

private slots:
    void theMatchingResponseIsTakenOnce() {
        ResponseSlot slot;
        std::atomic<bool> connected{true};
        slot.setResponse(response(4, QStringLiteral("old")));
        slot.setResponse(response(5, QStringLiteral("new"))); // replaces, unchecked
        QVERIFY(slot.hasResponse());
        WorkerWait wait(slot, 5, connected);
        QVERIFY(wait.finish());
        QVERIFY(wait.result);
        QVERIFY(wait.result->contains(QStringLiteral("new")));
        QVERIFY(!slot.hasResponse());
        QVERIFY(!slot.waitingForResponse());
    }

    // An answer numbered lower (or not at all) is dropped, and the wait starts over with its
    // full time-out: the right answer still arrives after the first time-out would have ended.
    void lowerAndMissingNumbersAreDroppedAndTheWaitStartsOver_data() {
        QTest::addColumn<bool>("withNumber");
        QTest::newRow("lower number") << true;
        QTest::newRow("no number") << false;
    }
    void lowerAndMissingNumbersAreDroppedAndTheWaitStartsOver() {
        QFETCH(bool, withNumber);
        TransferTimeouts timeouts;
        timeouts.workerResponse = 600ms;
        ResponseSlot slot(timeouts);
        std::atomic<bool> connected{true};
        const auto start = Clock::now();
        WorkerWait wait(slot, 6, connected);
        QVERIFY(QTest::qWaitFor([&] { return slot.waitingForResponse(); }, test::kWaitMs));
        std::this_thread::sleep_until(start + 400ms);
        QVariantMap stale = response(5, QStringLiteral("stale"));
        if (!withNumber) stale.remove(keys::kResponseNum);
        slot.setResponse(stale);
        // Taken and dropped: the slot is empty and the waiter waits again.
        QVERIFY(QTest::qWaitFor([&] { return !slot.hasResponse() && slot.waitingForResponse(); },
                                test::kWaitMs));
        std::this_thread::sleep_until(start + 800ms);
        QVERIFY(!wait.done);
        slot.setResponse(response(6, QStringLiteral("fresh")));
        QVERIFY(wait.finish());
        QVERIFY(wait.result);
        QVERIFY(wait.result->contains(QStringLiteral("fresh")));
    }

    void aHigherNumberEndsTheWait() {
        ResponseSlot slot;
        std::atomic<bool> connected{true};
        WorkerWait wait(slot, 2, connected);
        slot.setResponse(response(3, QStringLiteral("later")));
        QVERIFY(wait.finish());
        QVERIFY(!wait.result);
        QVERIFY(!slot.waitingForResponse());
    }

    void theMainThreadGivesUpSooner() {
        TransferTimeouts timeouts;
        timeouts.mainThreadResponse = 150ms;
        timeouts.workerResponse = 700ms;
        ResponseSlot slot(timeouts);
        std::atomic<bool> connected{true};
        auto start = Clock::now();
        QVERIFY(!slot.waitForResponse(1, [&] { return connected.load(); }));
        const auto onMain = test::milliseconds(Clock::now() - start);
        QVERIFY2(onMain >= 150 && onMain < 700, qPrintable(QString::number(onMain)));
        WorkerWait wait(slot, 2, connected);
        QVERIFY(wait.finish());
        QVERIFY(!wait.result);
        QVERIFY2(test::milliseconds(wait.elapsed) >= 700,
                 qPrintable(QString::number(test::milliseconds(wait.elapsed))));
    }

    void aLostConnectionEndsTheWaitAtOnce() {
        ResponseSlot slot; // 120 s on a worker
        std::atomic<bool> connected{true};
        WorkerWait wait(slot, 1, connected);
        QVERIFY(QTest::qWaitFor([&] { return slot.waitingForResponse(); }, test::kWaitMs));
        const auto lost = Clock::now();
        connected = false;
        slot.wakeWaiters();
        QVERIFY(wait.finish());
        const auto woke = test::milliseconds(Clock::now() - lost);
        qInfo("RESULT lost_connection_wake_ms=%lld", woke);
        QVERIFY(!wait.result);
        QVERIFY2(woke < 1000, qPrintable(QString::number(woke)));
    }
};

QTEST_GUILESS_MAIN(ResponseSlotTest)
#include "tst_responseslot.moc"
