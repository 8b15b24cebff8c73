// The program's desktop notifications against a stand-in notification service on a private
// session bus: the three situations, silence while the window is in front or the setting is off,
// and "Show" bringing the window back and revealing a download.
#include "app/AppController.h"
#include "platform/Defaults.h"
#include "platform/SessionBusFixture.h"
#include "platform/Settings.h"
#include "support/harness/AppProcess.h"
#include "support/harness/Notices.h"
#include "support/harness/Program.h"
#include "ui/MRWindow.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUrl>
#include <cstdio>
#include <memory>

using namespace vantle;
using vantle::test::NotificationStandIn;
using vantle::test::PhoneProcess;
using vantle::test::PrivateSessionBus;

namespace {

constexpr int kWaitMs = vantle::test::kProgramWaitMs;

// A controller started as the program starts it, its window shown and in front.
struct Program : vantle::test::Program {
    bool inFront = started && showInFront();
};

} // namespace

class AppNotificationsTest : public QObject {
    Q_OBJECT
    NotificationStandIn& service;
    QTemporaryDir files;
    // Another program's window: activating it takes the front from ours.
    QWidget elsewhere;

    QList<QJsonObject> notifications() const { return service.records(QStringLiteral("Notify")); }
    bool notificationsBecome(qsizetype count) const {
        return QTest::qWaitFor([&] { return notifications().size() == count; }, kWaitMs);
    }
    bool lookElsewhere(const Program& program) {
        elsewhere.show();
        elsewhere.activateWindow();
        return QTest::qWaitForWindowActive(&elsewhere) && !program->window()->isFrontmost();
    }
    // A notification that must arrive, sent with the window behind: every call made before it
    // has reached the service by the time it has.
    bool markerArrives(const Program& program, const QString& name) {
        if (!lookElsewhere(program)) return false;
        test::notifyArrived(program->notifier(), files.filePath(name));
        return QTest::qWaitFor(
            [&] {
                const QList<QJsonObject> sent = notifications();
                return !sent.isEmpty() &&
                       sent.last().value(QStringLiteral("body")).toString() == name;
            },
            kWaitMs);
    }
    QString body(qsizetype index) const {
        return notifications().at(index).value(QStringLiteral("body")).toString();
    }
    uint serverId(qsizetype index) const {
        return static_cast<uint>(notifications().at(index).value(QStringLiteral("id")).toInteger());
    }
    void sendAllThree(const Program& program) {
        test::notifyArrived(program->notifier(),
                            files.filePath(QStringLiteral("silent-download.jpg")));
        program->notifier().notifyQueueEmptied(2);
        test::notifyUploadFailed(program->notifier(), QStringLiteral("silent-upload.pdf"),
                                 QStringLiteral("Lost."));
    }

public:
    explicit AppNotificationsTest(NotificationStandIn& standIn) : service(standIn) {}

private slots:
    void initTestCase() {
        QVERIFY(files.isValid());
        elsewhere.setWindowTitle(QStringLiteral("Another program"));
    }

    void init() {
        vantle::test::startFromCleanSettings();
        elsewhere.hide();
    }

    // The flows themselves call in: a queue sent to a real phone, then a piece it refuses.
    void uploadsNotifyWhenTheQueueEmptiesAndWhenOneFails() {
        QFile file(files.filePath(QStringLiteral("report.pdf")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(1000, 'r'));
        file.close();
        {
            PhoneProcess phone;
            QVERIFY(phone.started());
            Program program;
            QVERIFY(program.inFront);
            QVERIFY(lookElsewhere(program));
            const qsizetype before = notifications().size();
            program->addToQueue({file.fileName()});
            program->connectToTypedAddress(vantle::test::loopbackAddress(phone));
            QVERIFY(notificationsBecome(before + 1));
            QCOMPARE(notifications().last().value(QStringLiteral("summary")).toString(),
                     QStringLiteral("Transfer Complete"));
        }
        PhoneProcess refusing({QStringLiteral("--fail-chunk"), QStringLiteral("1=-36")});
        QVERIFY(refusing.started());
        Program program;
        QVERIFY(program.inFront);
        QVERIFY(lookElsewhere(program));
        const qsizetype before = notifications().size();
        program->addToQueue({file.fileName()});
        program->connectToTypedAddress(vantle::test::loopbackAddress(refusing));
        QVERIFY(notificationsBecome(before + 1));
        QCOMPARE(notifications().last().value(QStringLiteral("summary")).toString(),
                 QStringLiteral("Upload Failed"));
        QVERIFY(body(notifications().size() - 1).startsWith(QStringLiteral("report.pdf")));
    }

    void eachSituationNotifiesWhileAnotherWindowIsInFront() {
        Program program;
        QVERIFY(program.inFront);
        QVERIFY(program.action(QStringLiteral("notificationsMenu:"))->isChecked());
        QVERIFY(lookElsewhere(program));
        const qsizetype before = notifications().size();

        test::notifyArrived(program->notifier(),
                            files.filePath(QStringLiteral("Holiday <1> & more.jpg")));
        QVERIFY(notificationsBecome(before + 1));
        const QJsonObject download = notifications().last();
        QCOMPARE(download.value(QStringLiteral("summary")).toString(),
                 QStringLiteral("Download Complete"));
        QCOMPARE(download.value(QStringLiteral("body")).toString(),
                 QStringLiteral("Holiday &lt;1&gt; &amp; more.jpg"));
        QCOMPARE(download.value(QStringLiteral("app_name")).toString(), QStringLiteral("Vantle"));
        QCOMPARE(download.value(QStringLiteral("app_icon")).toString(),
                 QLatin1String(AppController::kDesktopEntry));
        QCOMPARE(download.value(QStringLiteral("hints"))
                     .toObject()
                     .value(QStringLiteral("desktop-entry"))
                     .toString(),
                 QLatin1String(AppController::kDesktopEntry));
        QVERIFY(download.value(QStringLiteral("actions"))
                    .toArray()
                    .contains(QJsonValue(QStringLiteral("Show"))));

        program->notifier().notifyQueueEmptied(3);
        QVERIFY(notificationsBecome(before + 2));
        QCOMPARE(notifications().last().value(QStringLiteral("summary")).toString(),
                 QStringLiteral("Transfer Complete"));
        QCOMPARE(body(before + 1), QStringLiteral("3 files were sent to your iPhone."));
        program->notifier().notifyQueueEmptied(1);
        QVERIFY(notificationsBecome(before + 3));
        QCOMPARE(body(before + 2), QStringLiteral("1 file was sent to your iPhone."));

        // The upload runs on a worker: the failure is reported from there.
        std::unique_ptr<QThread> worker(QThread::create([&program] {
            test::notifyUploadFailed(program->notifier(), QStringLiteral("Report.pdf"),
                                     QStringLiteral("The iPhone's storage is full."));
        }));
        worker->start();
        QVERIFY(worker->wait(kWaitMs));
        QVERIFY(notificationsBecome(before + 4));
        QCOMPARE(notifications().last().value(QStringLiteral("summary")).toString(),
                 QStringLiteral("Upload Failed"));
        QCOMPARE(body(before + 3), QStringLiteral("Report.pdf\nThe iPhone's storage is full."));

        // An empty queue with nothing sent is no news.
        program->notifier().notifyQueueEmptied(0);
        QVERIFY(markerArrives(program, QStringLiteral("after-nothing-sent.txt")));
        QCOMPARE(notifications().size(), before + 5);
    }

    void aHiddenOrMinimizedWindowIsNotInFront() {
        Program program;
        QVERIFY(program.inFront);
        const qsizetype before = notifications().size();
        program.window()->showMinimized();
        QVERIFY(!program->window()->isFrontmost());
        program->notifier().notifyQueueEmptied(4);
        QVERIFY(notificationsBecome(before + 1));
        program.window()->hide();
        QVERIFY(!program->window()->isFrontmost());
        test::notifyUploadFailed(program->notifier(), QStringLiteral("hidden.txt"), {});
        QVERIFY(notificationsBecome(before + 2));
        QCOMPARE(body(before + 1), QStringLiteral("hidden.txt"));
    }

    void nothingWhileTheWindowOrItsDialogIsInFront() {
        Program program;
        QVERIFY(program.inFront);
        const qsizetype before = notifications().size();
        QVERIFY(program.window()->isActiveWindow());
        QVERIFY(program->window()->isFrontmost());
        sendAllThree(program);
        {
            QDialog sheet(program.window());
            sheet.show();
            QVERIFY(QTest::qWaitForWindowActive(&sheet));
            QVERIFY(program->window()->isFrontmost());
            sendAllThree(program);
        }
        QVERIFY(markerArrives(program, QStringLiteral("window-in-front-marker.txt")));
        QCOMPARE(notifications().size(), before + 1);
    }

    void theSettingTurnsThemOffAndIsKept() {
        const qsizetype before = notifications().size();
        {
            Program program;
            QVERIFY(program.inFront);
            QAction* item = program.action(QStringLiteral("notificationsMenu:"));
            QVERIFY(item->isCheckable());
            QCOMPARE(item->text(), QStringLiteral("Show Notifications"));
            item->trigger();
            QVERIFY(!item->isChecked());
            Defaults::sync();
            QVERIFY(!Defaults::boolForKey(QString(settings::kShowNotifications.key), true));
            QVERIFY(lookElsewhere(program));
            sendAllThree(program);
        }
        Program program;
        QVERIFY(program.inFront);
        QAction* item = program.action(QStringLiteral("notificationsMenu:"));
        QVERIFY(!item->isChecked());
        QVERIFY(lookElsewhere(program));
        sendAllThree(program);
        item->trigger();
        QVERIFY(Defaults::boolForKey(QString(settings::kShowNotifications.key), false));
        QVERIFY(markerArrives(program, QStringLiteral("setting-back-on-marker.txt")));
        QCOMPARE(notifications().size(), before + 1);
    }

    void showBringsTheWindowBackAndRevealsADownload() {
        Program program;
        QVERIFY(program.inFront);
        const QString path = files.filePath(QStringLiteral("photo 1.jpg"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const qsizetype revealedBefore = service.records(QStringLiteral("ShowItems")).size();

        QVERIFY(lookElsewhere(program));
        const qsizetype download = notifications().size();
        test::notifyArrived(program->notifier(), path);
        QVERIFY(notificationsBecome(download + 1));
        QCOMPARE(body(download), QStringLiteral("photo 1.jpg"));
        // Clicked the moment the service has it, before its reply may have reached the program.
        QVERIFY(service.invokeAction(serverId(download), QStringLiteral("show"),
                                     QStringLiteral("token-from-the-server")));
        QTRY_VERIFY_WITH_TIMEOUT(program.window()->isActiveWindow(), kWaitMs);
        // The raise used the token the server sent with the action.
        QCOMPARE(program.window()->lastActivationToken(), QStringLiteral("token-from-the-server"));
        // The file manager was asked to show the file (revealing ends before the window returns).
        const QList<QJsonObject> revealed = service.records(QStringLiteral("ShowItems"));
        QCOMPARE(revealed.size(), revealedBefore + 1);
        QCOMPARE(revealed.last().value(QStringLiteral("uris")).toArray(),
                 QJsonArray{QUrl::fromLocalFile(path).toString()});

        // "Show" on a failed upload only brings the window back, also from a minimized state.
        program.window()->showMinimized();
        const qsizetype before = notifications().size();
        test::notifyUploadFailed(program->notifier(), QStringLiteral("big.mov"),
                                 QStringLiteral("Stopped."));
        QVERIFY(notificationsBecome(before + 1));
        QVERIFY(service.invokeAction(serverId(before), QStringLiteral("default")));
        QTRY_VERIFY_WITH_TIMEOUT(program->window()->isFrontmost(), kWaitMs);
        QVERIFY(!program.window()->isMinimized());
        QCOMPARE(program.window()->lastActivationToken(), QString());
        QCOMPARE(service.records(QStringLiteral("ShowItems")).size(), revealedBefore + 1);
    }
};

int main(int argc, char** argv) {
    // A session bus of the suite's own, known before anything opens it.
    QTemporaryDir profile;
    vantle::test::usePrivateProfile(profile.path());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VANTLE_VERSION_URL", "");
    useScriptedDnsSd();
    qputenv("DBUS_SESSION_BUS_ADDRESS", PrivateSessionBus::addressIn(profile.path()).toUtf8());
    QApplication app(argc, argv);
    vantle::test::nameApplication();
    PrivateSessionBus bus(profile.path());
    NotificationStandIn service(bus.address(), profile.path() + QStringLiteral("/calls.jsonl"));
    if (!bus.start() || !service.start()) {
        std::fprintf(stderr, "tst_appnotifications: the private session bus did not start\n");
        return 1;
    }
    AppNotificationsTest suite(service);
    return QTest::qExec(&suite, argc, argv);
}

#include "tst_appnotifications.moc"
