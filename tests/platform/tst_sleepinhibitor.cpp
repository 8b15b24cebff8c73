// The sleep inhibitor against a stand-in logind on a private bus: the lock asked for, held while
// wanted and let go (its descriptor closed) when not, a new reason without a gap, and the quiet
// failure without a bus or a logind.
#include "platform/SessionBusFixture.h"
#include "platform/SleepInhibitor.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace vantle;
using namespace vantle::test;

namespace {

constexpr int kWaitMs = 10'000;
// Holding never waits for the bus.
constexpr qint64 kPromptMs = 1000;
const QString kSending = QStringLiteral("Sending 3 items to Anna's iPhone");
const QString kReceiving = QStringLiteral("Receiving photo.jpg from Anna's iPhone");

qint64 idOf(const QJsonObject& record) {
    return record.value(QStringLiteral("id")).toInteger();
}

} // namespace

class SleepInhibitorTest : public QObject {
    Q_OBJECT
    QTemporaryDir folder;
    std::unique_ptr<PrivateSessionBus> bus;
    std::unique_ptr<RecordingStandIn> logind;

    QList<QJsonObject> records(const QString& member = {}) const { return logind->records(member); }
    bool released(qint64 id) const {
        return QTest::qWaitFor(
            [&] {
                const QList<QJsonObject> done = records(QStringLiteral("Released"));
                return std::any_of(done.begin(), done.end(),
                                   [id](const QJsonObject& r) { return idOf(r) == id; });
            },
            kWaitMs);
    }

private slots:
    void init() {
        QVERIFY(folder.isValid());
        QFile::remove(folder.filePath(QStringLiteral("logind.jsonl")));
        bus = std::make_unique<PrivateSessionBus>(folder.path());
        QVERIFY(bus->start());
        logind = std::make_unique<RecordingStandIn>(
            QStringLiteral(VANTLE_LOGIND_STANDIN), bus->address(),
            folder.filePath(QStringLiteral("logind.jsonl")));
        QVERIFY(logind->start());
    }
    void cleanup() {
        logind.reset();
        bus.reset();
    }

    void sleepIsBlockedUntilReleased() {
        SleepInhibitor inhibitor(bus->address());
        QSignalSpy unavailable(&inhibitor, &SleepInhibitor::unavailable);
        QElapsedTimer clock;
        clock.start();
        inhibitor.hold(kSending);
        QVERIFY(clock.elapsed() < kPromptMs);
        QTRY_VERIFY_WITH_TIMEOUT(inhibitor.held(), kWaitMs);
        QCOMPARE(inhibitor.heldReason(), kSending);
        const QList<QJsonObject> asked = records(QStringLiteral("Inhibit"));
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].value(QStringLiteral("what")).toString(), QStringLiteral("sleep"));
        QCOMPARE(asked[0].value(QStringLiteral("who")).toString(), QStringLiteral("Vantle"));
        QCOMPARE(asked[0].value(QStringLiteral("why")).toString(), kSending);
        QCOMPARE(asked[0].value(QStringLiteral("mode")).toString(), QStringLiteral("block"));
        // Holding it again for the same reason asks nothing more, and the lock stays.
        inhibitor.hold(kSending);
        QVERIFY(records(QStringLiteral("Released")).isEmpty());

        inhibitor.release();
        QVERIFY(!inhibitor.held());
        QVERIFY(released(idOf(asked[0])));
        QCOMPARE(records(QStringLiteral("Inhibit")).size(), 1);
        QCOMPARE(unavailable.size(), 0);
    }

    // A new reason is a new lock, taken before the old one goes.
    void newReasonTakesANewLockFirst() {
        SleepInhibitor inhibitor(bus->address());
        inhibitor.hold(kSending);
        QTRY_VERIFY_WITH_TIMEOUT(inhibitor.held(), kWaitMs);
        inhibitor.hold(kReceiving);
        QTRY_COMPARE_WITH_TIMEOUT(inhibitor.heldReason(), kReceiving, kWaitMs);
        QVERIFY(released(1));
        const QList<QJsonObject> all = records();
        QCOMPARE(all.size(), 3);
        QCOMPARE(all[1].value(QStringLiteral("why")).toString(), kReceiving);
        QCOMPARE(all[2].value(QStringLiteral("member")).toString(), QStringLiteral("Released"));
        QCOMPARE(idOf(all[2]), 1);
        inhibitor.release();
        QVERIFY(released(2));
    }

    // Let go before logind answered: nothing is asked before the bus is there, and a lock on
    // its way is let go the moment it comes.
    void releaseWhileTakingKeepsNothing() {
        SleepInhibitor inhibitor(bus->address());
        inhibitor.hold(kSending);
        inhibitor.release();
        inhibitor.hold(kSending);
        QTRY_VERIFY_WITH_TIMEOUT(inhibitor.held(), kWaitMs);
        inhibitor.hold(kReceiving);
        inhibitor.release();
        QVERIFY(released(1));
        QVERIFY(released(2));
        QCOMPARE(records(QStringLiteral("Inhibit")).size(), 2);
        QVERIFY(!inhibitor.held());
    }

    void withoutLogindOrBusNothingIsHeldAndItIsSaidOnce_data() {
        QTest::addColumn<bool>("busRuns");
        QTest::newRow("no logind on the bus") << true;
        QTest::newRow("no bus") << false;
    }
    void withoutLogindOrBusNothingIsHeldAndItIsSaidOnce() {
        QFETCH(bool, busRuns);
        logind->stop();
        const QString address =
            busRuns ? bus->address()
                    : QStringLiteral("unix:path=") + folder.filePath(QStringLiteral("no-bus"));
        SleepInhibitor inhibitor(address);
        QSignalSpy unavailable(&inhibitor, &SleepInhibitor::unavailable);
        QElapsedTimer clock;
        clock.start();
        inhibitor.hold(kSending);
        QVERIFY(clock.elapsed() < kPromptMs);
        QTRY_COMPARE_WITH_TIMEOUT(unavailable.size(), 1, kWaitMs);
        // Never tried again: later transfers neither ask nor say it again.
        inhibitor.release();
        inhibitor.hold(kReceiving);
        inhibitor.hold(kSending);
        QVERIFY(!QTest::qWaitFor([&] { return unavailable.size() > 1 || inhibitor.held(); },
                                 static_cast<int>(kPromptMs)));
        QVERIFY(!inhibitor.held());
        QVERIFY(!unavailable.at(0).at(0).toString().isEmpty());
    }
};

QTEST_GUILESS_MAIN(SleepInhibitorTest)
#include "tst_sleepinhibitor.moc"
