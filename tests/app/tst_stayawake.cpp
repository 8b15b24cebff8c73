// Files on the move keep the computer awake: the window's uploads and the phone's downloads hold
// a sleep lock from a stand-in logind on a private bus, with a reason naming the phone and what
// moves, from the first item until all is idle; without logind it is said once.
#include "app/AppController.h"
#include "app/awake/StayAwake.h"
#include "platform/SessionBusFixture.h"
#include "support/ParoxLogger.h"
#include "support/harness/AppProcess.h"
#include "support/harness/Files.h"
#include "support/harness/Program.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace vantle;
using vantle::test::Phone;
using vantle::test::PrivateSessionBus;
using vantle::test::Program;
using vantle::test::RecordingStandIn;

namespace {

constexpr int kWaitMs = vantle::test::kProgramWaitMs;
const QString kPhone = QStringLiteral("Anna's iPhone");
using Movement = StayAwake::Movement;

} // namespace

class StayAwakeTest : public QObject {
    Q_OBJECT
    RecordingStandIn& logind;
    QString busAddress;
    QTemporaryDir files;

    QList<QJsonObject> locks() const { return logind.records(QStringLiteral("Inhibit")); }
    // Locks taken and not let go.
    qsizetype heldLocks() const {
        return locks().size() - logind.records(QStringLiteral("Released")).size();
    }
    QStringList reasons(qsizetype from) const {
        QStringList whys;
        const QList<QJsonObject> taken = locks();
        for (qsizetype i = from; i < taken.size(); ++i)
            whys << taken[i].value(QStringLiteral("why")).toString();
        return whys;
    }

public:
    StayAwakeTest(RecordingStandIn& standIn, QString address)
        : logind(standIn), busAddress(std::move(address)) {}

private slots:
    void init() { vantle::test::startFromCleanSettings(); }

    void reasonNamesThePhoneAndWhatMoves_data() {
        QTest::addColumn<QString>("phone");
        QTest::addColumn<int>("sending");
        QTest::addColumn<int>("receiving");
        QTest::addColumn<QString>("reason");
        QTest::newRow("one item out")
            << kPhone << 1 << 0 << QStringLiteral("Sending a.txt to Anna's iPhone");
        QTest::newRow("three out")
            << kPhone << 3 << 0 << QStringLiteral("Sending 3 items to Anna's iPhone");
        QTest::newRow("one in") << kPhone << 0 << 1
                                << QStringLiteral("Receiving photo.jpg from Anna's iPhone");
        QTest::newRow("both ways")
            << kPhone << 2 << 1
            << QStringLiteral("Sending 2 items to and receiving photo.jpg from Anna's iPhone");
        QTest::newRow("a phone without a name")
            << QString() << 0 << 4 << QStringLiteral("Receiving 4 items from your iPhone");
        QTest::newRow("nothing moves") << kPhone << 0 << 0 << QString();
        QTest::newRow("a name that looks like a format")
            << QStringLiteral("%1 %2") << 1 << 0 << QStringLiteral("Sending a.txt to %1 %2");
    }
    void reasonNamesThePhoneAndWhatMoves() {
        QFETCH(QString, phone);
        QFETCH(int, sending);
        QFETCH(int, receiving);
        QFETCH(QString, reason);
        QCOMPARE(StayAwake::reason(phone, {QStringLiteral("a.txt"), sending},
                                   {QStringLiteral("photo.jpg"), receiving}),
                 reason);
    }

    // The window's own uploads: the lock comes with the first item, follows the count, stays
    // between items and goes once the queue has emptied.
    void uploadsHoldSleepOffUntilTheQueueEmpties() {
        Phone phone({QStringLiteral("--name"), kPhone, QStringLiteral("--delay-ms"),
                     QStringLiteral("150")});
        Program program;
        QVERIFY(program.started);
        program->connectToTypedAddress(phone.address());
        QVERIFY(program.statusBecomes(QStringLiteral("Connected to Anna's iPhone.")));
        const qsizetype before = locks().size();
        QStringList paths;
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            paths << files.filePath(QString::fromLatin1(name));
            QVERIFY(vantle::test::writeFile(paths.back(), QByteArray(1000, 'x')));
        }
        QVERIFY(program.add(paths));
        // Held while the second item goes (each takes several of the phone's slow answers).
        QVERIFY(program.queueHolds(2));
        QTRY_VERIFY_WITH_TIMEOUT(heldLocks() > 0, kWaitMs);
        QVERIFY(program.queue().rowCount() > 0);
        QVERIFY(program.queueHolds(0));
        QTRY_COMPARE_WITH_TIMEOUT(heldLocks(), 0, kWaitMs);
        // A reason that changed again before logind answered is skipped, never the last.
        const QStringList run{QStringLiteral("Sending 3 items to Anna's iPhone"),
                              QStringLiteral("Sending 2 items to Anna's iPhone"),
                              QStringLiteral("Sending c.txt to Anna's iPhone")};
        const QStringList whys = reasons(before);
        QVERIFY2(!whys.isEmpty() && whys.last() == run.last(), qPrintable(whys.join(u'|')));
        for (qsizetype i = 0; i < whys.size(); ++i)
            QVERIFY2(run.indexOf(whys[i]) >= i, qPrintable(whys.join(u'|')));
        for (const QJsonObject& lock : locks()) {
            QCOMPARE(lock.value(QStringLiteral("what")).toString(), QStringLiteral("sleep"));
            QCOMPARE(lock.value(QStringLiteral("mode")).toString(), QStringLiteral("block"));
        }
    }

    // Downloads as the phone pane tells them; a lost connection lets go at once.
    void downloadsHoldSleepOffAndALostConnectionLetsGo() {
        StayAwake awake([] { return kPhone; }, busAddress);
        const qsizetype before = locks().size();
        awake.receivingChanged(QStringLiteral("photo.jpg"), 1);
        QTRY_COMPARE_WITH_TIMEOUT(heldLocks(), 1, kWaitMs);
        QCOMPARE(reasons(before),
                 QStringList{QStringLiteral("Receiving photo.jpg from Anna's iPhone")});
        // Between two downloads the lock stays.
        awake.receivingChanged({}, 0);
        awake.receivingChanged(QStringLiteral("next.jpg"), 1);
        QTRY_COMPARE_WITH_TIMEOUT(reasons(before).size(), 2, kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(heldLocks(), 1, kWaitMs);
        awake.connectionLost();
        QTRY_COMPARE_WITH_TIMEOUT(heldLocks(), 0, kWaitMs);
    }

    void withoutLogindItIsLoggedOnce() {
        Program program;
        QVERIFY(program.started);
        QTemporaryDir logs;
        const auto logger = ParoxLogger::defaultLogger();
        logger->setLogFileLocation(logs.path());
        logger->setLogToFile(true);
        const auto logged = [&] {
            logger->flush();
            QFile file(logger->logFilePath());
            return file.open(QIODevice::ReadOnly)
                       ? QString::fromUtf8(file.readAll())
                             .count(QStringLiteral("Transfers cannot keep the computer awake"))
                       : qsizetype(-1);
        };
        StayAwake awake([] { return kPhone; },
                        QStringLiteral("unix:path=") + logs.filePath(QStringLiteral("no-bus")));
        awake.sendingStarted(QStringLiteral("a.txt"), 2);
        QTRY_COMPARE_WITH_TIMEOUT(logged(), 1, kWaitMs);
        awake.sendingStopped();
        awake.sendingStarted(QStringLiteral("b.txt"), 1);
        awake.receivingChanged(QStringLiteral("photo.jpg"), 1);
        QVERIFY(!QTest::qWaitFor([&] { return logged() > 1; }, StayAwake::kIdleReleaseMs));
    }
};

int main(int argc, char** argv) {
    QTemporaryDir profile;
    vantle::test::prepareAppProcess(profile.path(), vantle::test::PhoneSearch::Scripted);
    // logind on a bus of the suite's own, known before anything opens the system bus.
    const QString busAddress = PrivateSessionBus::addressIn(profile.path());
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", busAddress.toUtf8());
    QApplication app(argc, argv);
    vantle::test::nameApplication();
    PrivateSessionBus bus(profile.path());
    if (!bus.start()) qFatal("no private bus");
    RecordingStandIn logind(QStringLiteral(VANTLE_LOGIND_STANDIN), busAddress,
                            profile.filePath(QStringLiteral("logind.jsonl")));
    if (!logind.start()) qFatal("no logind stand-in");
    StayAwakeTest suite(logind, busAddress);
    return QTest::qExec(&suite, argc, argv);
}

#include "tst_stayawake.moc"
