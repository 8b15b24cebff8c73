// The tray icon as a desktop's tray sees it: a StatusNotifierItem registered with a stand-in
// watcher on a private session bus, its tool tip and picture following the connection and the
// queue, its menu (com.canonical.dbusmenu) and click acting on the window, and closing the window
// into the tray. Runs under Xvfb (xcb): the offscreen platform has no tray.
#include "app/history/TransferHistoryWindow.h"
#include "app/tray/TrayIcon.h"
#include "platform/SessionBusFixture.h"
#include "support/harness/AppProcess.h"
#include "support/harness/Notices.h"
#include "support/harness/Program.h"

#include <QAction>
#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>
#include <unistd.h>
#include <vector>

using namespace vantle;
using vantle::test::NotificationStandIn;
using vantle::test::Phone;
using vantle::test::PrivateSessionBus;
using vantle::test::Program;
using vantle::test::RecordingStandIn;

namespace {

constexpr int kWaitMs = vantle::test::kProgramWaitMs;
// What the event loop returns when nothing ended it in time.
constexpr int kNotQuit = 99;
const char kItemPath[] = "/StatusNotifierItem";
const char kItemInterface[] = "org.kde.StatusNotifierItem";
const char kControlBus[] = "tray-test-control";
const QString kTrayNotice = QStringLiteral("Vantle Is Still Running");

struct MenuItem {
    int id = 0;
    QString label;
    bool enabled = true;
};

QDBusConnection control() {
    return QDBusConnection(QLatin1String(kControlBus));
}

// Asked without blocking the main thread, which serves the item.
QDBusMessage call(const QString& service, const QString& path, const QString& interface,
                  const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return vantle::test::callWhileServing(control(), message, kWaitMs);
}

QVariant itemProperty(const QString& service, const QString& name) {
    const QDBusMessage reply =
        call(service, QLatin1String(kItemPath), QStringLiteral("org.freedesktop.DBus.Properties"),
             QStringLiteral("Get"), {QLatin1String(kItemInterface), name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

// A D-Bus value as plain variants: structures and arrays as lists, maps as maps.
QVariant plain(const QVariant& value);
QVariant plain(const QDBusArgument& argument) {
    QVariantList items;
    QVariantMap map;
    switch (argument.currentType()) {
    case QDBusArgument::StructureType:
        argument.beginStructure();
        while (!argument.atEnd())
            items << plain(argument.asVariant());
        argument.endStructure();
        return items;
    case QDBusArgument::ArrayType:
        argument.beginArray();
        while (!argument.atEnd())
            items << plain(argument.asVariant());
        argument.endArray();
        return items;
    case QDBusArgument::MapType:
        argument.beginMap();
        while (!argument.atEnd()) {
            argument.beginMapEntry();
            const QString key = argument.asVariant().toString();
            map.insert(key, plain(argument.asVariant()));
            argument.endMapEntry();
        }
        argument.endMap();
        return map;
    default:
        return plain(argument.asVariant());
    }
}
QVariant plain(const QVariant& value) {
    if (value.canConvert<QDBusArgument>()) return plain(value.value<QDBusArgument>());
    if (value.canConvert<QDBusVariant>()) return plain(value.value<QDBusVariant>().variant());
    return value;
}

// The tool tip's title, in its (icon name, pictures, title, text).
QString toolTip(const QString& service) {
    return plain(itemProperty(service, QStringLiteral("ToolTip"))).toList().value(2).toString();
}

// What a tray draws: a theme icon's name, or the pictures (width, height, bytes) themselves.
QString picture(const QString& service) {
    QString drawn = itemProperty(service, QStringLiteral("IconName")).toString();
    for (const QVariant& pixmap :
         plain(itemProperty(service, QStringLiteral("IconPixmap"))).toList())
        drawn += QString::fromLatin1(pixmap.toList().value(2).toByteArray().toBase64());
    return drawn;
}

QString menuPath(const QString& service) {
    return itemProperty(service, QStringLiteral("Menu")).value<QDBusObjectPath>().path();
}

// The top level of the item's menu, separators left out; each entry is (id, properties, children).
QList<MenuItem> menu(const QString& service) {
    const QDBusMessage reply =
        call(service, menuPath(service), QStringLiteral("com.canonical.dbusmenu"),
             QStringLiteral("GetLayout"), {0, 1, QStringList()});
    QList<MenuItem> items;
    const QVariantList root = plain(reply.arguments().value(1)).toList();
    for (const QVariant& child : root.value(2).toList()) {
        const QVariantList entry = child.toList();
        const QVariantMap properties = entry.value(1).toMap();
        if (properties.value(QStringLiteral("type")).toString() == QLatin1String("separator"))
            continue;
        items << MenuItem{entry.value(0).toInt(),
                          properties.value(QStringLiteral("label")).toString(),
                          properties.value(QStringLiteral("enabled"), true).toBool()};
    }
    return items;
}

QString labels(const QList<MenuItem>& items) {
    QStringList names;
    for (const MenuItem& item : items)
        names << item.label + (item.enabled ? QString() : QStringLiteral(" (off)"));
    return names.join(QLatin1Char('|'));
}

bool click(const QString& service, const QString& label) {
    for (const MenuItem& item : menu(service))
        if (item.label == label)
            return call(service, menuPath(service), QStringLiteral("com.canonical.dbusmenu"),
                        QStringLiteral("Event"),
                        {item.id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)),
                         0U})
                       .type() == QDBusMessage::ReplyMessage;
    return false;
}

// The event loop of the program as it runs, until something ends it (or the limit).
int runUntilQuit(const std::function<void()>& act) {
    QTimer::singleShot(0, act);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [] { QCoreApplication::exit(kNotQuit); });
    limit.start(kWaitMs);
    return QCoreApplication::exec();
}

} // namespace

class TrayTest : public QObject {
    Q_OBJECT
    RecordingStandIn& watcher;
    NotificationStandIn& notifications;
    QTemporaryDir files;

    // The item registered after `before` registrations, once it has.
    QString registeredItem(qsizetype before) const {
        QString service;
        [[maybe_unused]] const bool registered = QTest::qWaitFor(
            [&] {
                const QList<QJsonObject> calls =
                    watcher.records(QStringLiteral("RegisterStatusNotifierItem"));
                if (calls.size() > before)
                    service = calls.last().value(QStringLiteral("service")).toString();
                return !service.isEmpty();
            },
            kWaitMs);
        return service;
    }
    qsizetype registrations() const {
        return watcher.records(QStringLiteral("RegisterStatusNotifierItem")).size();
    }
    qsizetype trayNotices() const {
        qsizetype count = 0;
        for (const QJsonObject& sent : notifications.records(QStringLiteral("Notify")))
            count += sent.value(QStringLiteral("summary")).toString() == kTrayNotice;
        return count;
    }
    QString file(const QString& name, qsizetype size) {
        QFile out(files.filePath(name));
        if (!out.open(QIODevice::WriteOnly)) return {};
        out.write(QByteArray(size, 'x'));
        return out.fileName();
    }

public:
    TrayTest(RecordingStandIn& trayWatcher, NotificationStandIn& notificationService)
        : watcher(trayWatcher), notifications(notificationService) {}

private slots:
    void initTestCase() { QVERIFY(files.isValid()); }
    void init() { vantle::test::startFromCleanSettings(); }

    void toolTipAndPictureFollowTheConnectionAndTheQueue() {
        Phone phone({QStringLiteral("--name"), QStringLiteral("Anna's iPhone"),
                     QStringLiteral("--approve-after-ms"), QStringLiteral("1500"),
                     QStringLiteral("--delay-ms"), QStringLiteral("100")});
        QVERIFY(phone.running());
        const qsizetype before = registrations();
        Program program;
        QVERIFY(program.started);
        const QString item = registeredItem(before);
        QVERIFY(!item.isEmpty());
        QVERIFY(program->tray().available());

        using Look = TrayIcon::Look;
        struct Step {
            std::function<void()> act;
            QString toolTip; // a pattern
            Look look;
        };
        const std::vector<Step> steps{
            {[] {}, QStringLiteral("Vantle — Not connected"), Look::NotConnected},
            {[&] { program->connectToTypedAddress(phone.address()); },
             QStringLiteral("Vantle — Waiting for approval\\.\\.\\."), Look::Connected},
            {[] {}, QStringLiteral("Vantle — Connected to Anna's iPhone"), Look::Connected},
            // Pieces of 128 KiB, each answered after 100 ms: a few seconds under way.
            {[&] { program->addToQueue({file(QStringLiteral("big.mov"), 4 << 20)}); },
             QStringLiteral("Vantle — Sending 1 item, [1-9]\\d? %"), Look::Sending},
            {[] {}, QStringLiteral("Vantle — Connected to Anna's iPhone"), Look::Connected},
        };
        QMap<Look, QString> pictures;
        for (const Step& step : steps) {
            step.act();
            const QRegularExpression expected(QRegularExpression::anchoredPattern(step.toolTip));
            QTRY_VERIFY2_WITH_TIMEOUT(expected.match(toolTip(item)).hasMatch(),
                                      qPrintable(toolTip(item)), kWaitMs);
            const QString drawn = picture(item);
            QVERIFY(!drawn.isEmpty());
            QCOMPARE(pictures.value(step.look, drawn), drawn);
            pictures[step.look] = drawn;
        }
        QCOMPARE(QSet<QString>(pictures.cbegin(), pictures.cend()).size(), 3);
    }

    void menuShowsTheWindowAndFollowsTheFileMenu() {
        const qsizetype before = registrations();
        Program program;
        const QString item = registeredItem(before);
        QVERIFY(!item.isEmpty());
        QCOMPARE(labels(menu(item)),
                 QStringLiteral("Show Vantle|Add Files...|Transfer History...|Quit"));
        program.action(QStringLiteral("addFileToQueue:"))->setEnabled(false);
        QTRY_COMPARE_WITH_TIMEOUT(
            labels(menu(item)),
            QStringLiteral("Show Vantle|Add Files... (off)|Transfer History...|Quit"), kWaitMs);
        QVERIFY(click(item, QStringLiteral("Transfer History...")));
        QTRY_VERIFY_WITH_TIMEOUT(program->transferHistoryWindow() &&
                                     program->transferHistoryWindow()->isVisible(),
                                 kWaitMs);
        program->transferHistoryWindow()->close();

        QVERIFY(!program.window()->isVisible());
        QVERIFY(click(item, QStringLiteral("Show Vantle")));
        QTRY_VERIFY_WITH_TIMEOUT(program->window()->isFrontmost(), kWaitMs);
        // A click on the icon hides the window in front, and brings it back (in front once a
        // window manager says so: Xvfb has none).
        for (const bool shown : {false, true}) {
            QVERIFY(call(item, QLatin1String(kItemPath), QLatin1String(kItemInterface),
                         QStringLiteral("Activate"), {0, 0})
                        .type() == QDBusMessage::ReplyMessage);
            QTRY_COMPARE_WITH_TIMEOUT(program.window()->isVisible(), shown, kWaitMs);
        }
    }

    // With the setting on, the closed window goes to the tray with its sheet, unanswered, and
    // the connection and the queue stay; the user is told once. Quit in the tray ends it all.
    void closingKeepsTheProgramInTheTray() {
        Phone phone({QStringLiteral("--no-upload")});
        const qsizetype before = registrations();
        Program program;
        const QString item = registeredItem(before);
        program->window()->bringToFront();
        QVERIFY(QTest::qWaitForWindowExposed(program.window()));
        QVERIFY(program.connectTo(phone));
        QVERIFY(program.add({file(QStringLiteral("waits.txt"), 10)}));
        std::optional<SheetPresenter::Role> answer;
        program.sheets().show(
            SheetPresenter::Question{QStringLiteral("Still There?"),
                                     {},
                                     {{QStringLiteral("OK"), SheetPresenter::Role::Accept}}},
            [&](SheetPresenter::Role role, bool) { answer = role; });
        QVERIFY(program.sheets().current());
        Defaults::set(settings::kKeepRunningInTray, true);
        QSignalSpy closed(program.window(), &MRWindow::closed);
        const qsizetype noticesBefore = trayNotices();

        for (int round = 0; round < 2; ++round) {
            program.window()->close();
            QVERIFY(!program.window()->isVisible());
            QVERIFY(!program.sheets().current()->isVisible());
            QCOMPARE(closed.size(), 0);
            QVERIFY(click(item, QStringLiteral("Show Vantle")));
            QTRY_VERIFY_WITH_TIMEOUT(program.sheets().current()->isVisible(), kWaitMs);
        }
        // Told once, at the first close; a notification sent after the second has arrived.
        QVERIFY(Defaults::get(settings::kToldAboutTray));
        program.window()->hide();
        test::notifyUploadFailed(program->notifier(), QStringLiteral("marker"), {});
        QTRY_VERIFY_WITH_TIMEOUT(
            notifications.records(QStringLiteral("Notify")).last().value(u"body").toString() ==
                QLatin1String("marker"),
            kWaitMs);
        QCOMPARE(trayNotices(), noticesBefore + 1);
        QVERIFY(!answer);
        QCOMPARE(program.statusText(), vantle::test::kConnectedStatus);
        QCOMPARE(program.queue().rowCount(), 1);

        QCOMPARE(runUntilQuit([&] { click(item, QStringLiteral("Quit")); }), 0);
        // Ending is no answer.
        QVERIFY(!answer);
    }

    void closingWithTheSettingOffEndsTheProgram() {
        Program program;
        program->window()->bringToFront();
        QVERIFY(QTest::qWaitForWindowExposed(program.window()));
        QVERIFY(program->tray().available());
        QSignalSpy closed(program.window(), &MRWindow::closed);
        QCOMPARE(runUntilQuit([&] { program.window()->close(); }), 0);
        QCOMPARE(closed.size(), 1);
    }

    // The quit signals end the program whose window would go to the tray.
    void quitSignalsEndTheProgramInTheTray_data() {
        QTest::addColumn<int>("quitSignal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void quitSignalsEndTheProgramInTheTray() {
        QFETCH(int, quitSignal);
        QTemporaryDir home;
        QDir().mkpath(home.filePath(QStringLiteral("config/Vantle")));
        QFile settings(home.filePath(QStringLiteral("config/Vantle/Vantle.conf")));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[General]\nKeepRunningInTray=1\nToldAboutTray=1\nAutoConnect=0\n"
                       "DontWarnAboutManual=1\n");
        settings.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        QProcess vantle;
        vantle.setProcessEnvironment(environment);
        vantle.setProcessChannelMode(QProcess::MergedChannels);
        vantle.start(QStringLiteral(VANTLE_BIN_DIR "/vantle"), {});
        QVERIFY(vantle.waitForStarted(kWaitMs));
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         for (const QJsonObject& call :
                              watcher.records(QStringLiteral("RegisterStatusNotifierItem")))
                             if (call.value(QStringLiteral("pid")).toInteger() ==
                                 vantle.processId())
                                 return true;
                         return false;
                     },
                     kWaitMs),
                 vantle.readAll().right(3000).constData());
        QVERIFY(::kill(static_cast<pid_t>(vantle.processId()), quitSignal) == 0);
        const bool ended = vantle.waitForFinished(kWaitMs);
        if (!ended) vantle.kill(); // our own child, by its process id
        QVERIFY2(ended, vantle.readAll().right(2000).constData());
        QCOMPARE(vantle.exitStatus(), QProcess::NormalExit);
        QCOMPARE(vantle.exitCode(), 0);
    }
};

int main(int argc, char** argv) {
    // A tray needs a real platform: the suite runs itself again under Xvfb.
    if (!vantle::test::runUnderXvfb(argc, argv, "VANTLE_TRAY_UNDER_XVFB", "1024x768x24")) return 1;
    QTemporaryDir profile;
    vantle::test::prepareAppProcess(profile.path(), vantle::test::PhoneSearch::Scripted);
    qputenv("QT_QPA_PLATFORM", "xcb");
    // The generic desktop's theme: what it finds of the tray is the stand-in.
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    qputenv("DBUS_SESSION_BUS_ADDRESS", PrivateSessionBus::addressIn(profile.path()).toUtf8());
    // The watcher is there before the application asks for a tray.
    PrivateSessionBus bus(profile.path());
    RecordingStandIn watcher(QStringLiteral(VANTLE_TRAY_WATCHER_STANDIN), bus.address(),
                             profile.filePath(QStringLiteral("tray.jsonl")));
    if (!bus.start() || !watcher.start()) {
        std::fprintf(stderr, "tst_tray: the private session bus did not start\n");
        return 1;
    }
    QApplication app(argc, argv);
    vantle::test::nameApplication();
    NotificationStandIn notifications(bus.address(),
                                      profile.filePath(QStringLiteral("notify.jsonl")));
    if (!notifications.start() ||
        !QDBusConnection::connectToBus(bus.address(), QLatin1String(kControlBus)).isConnected()) {
        std::fprintf(stderr, "tst_tray: the stand-ins did not start\n");
        return 1;
    }
    TrayTest suite(watcher, notifications);
    return QTest::qExec(&suite, argc, argv);
}

#include "tst_tray.moc"
