// The window as a screen reader finds it: the AT-SPI registry on a private accessibility bus,
// the window connected to the simulated phone, and the tree walked over D-Bus as an assistive
// tool walks it. Runs under Xvfb (xcb): the offscreen platform publishes no tree.
#include "platform/SessionBusFixture.h"
#include "support/harness/AppProcess.h"
#include "support/harness/Program.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QSet>
#include <cstdio>
#include <vector>

using namespace vantle;
using vantle::test::Phone;
using vantle::test::PrivateSessionBus;
using vantle::test::Program;
using vantle::test::writeFile;

namespace {

constexpr int kWaitMs = vantle::test::kProgramWaitMs;
// The window has a few hundred elements; a walk that finds more has gone astray.
constexpr int kMaxElements = 2000;
constexpr int kMaxDepth = 40;
const char kWalkerConnection[] = "a11y-walker";
// at-spi2-core's: it starts the accessibility bus and says where it is ("org.a11y.Bus"); the
// registry is started on that bus when the first application registers.
const char kBusLauncher[] = "/usr/libexec/at-spi-bus-launcher";
const QString kRegistry = QStringLiteral("org.a11y.atspi.Registry");
const QString kRootPath = QStringLiteral("/org/a11y/atspi/accessible/root");
const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
// What a user acts on, by its AT-SPI role name: each must say what it is.
const QSet<QString> kActedOn{
    QStringLiteral("push button"),     QStringLiteral("toggle button"),
    QStringLiteral("check box"),       QStringLiteral("radio button"),
    QStringLiteral("menu item"),       QStringLiteral("check menu item"),
    QStringLiteral("radio menu item"), QStringLiteral("cell"),
    QStringLiteral("table"),           QStringLiteral("progress bar"),
};

struct Element {
    QString role;
    QString name;
    QString description;
    QString path;
};

QDBusConnection walker() {
    return QDBusConnection(QLatin1String(kWalkerConnection));
}

QDBusMessage ask(const QString& service, const QString& path, const QString& interface,
                 const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return vantle::test::callWhileServing(walker(), message, kWaitMs);
}

QString property(const QString& service, const QString& path, const QString& name) {
    const QDBusMessage reply = ask(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("Get"), {kAccessible, name});
    return reply.arguments().value(0).value<QDBusVariant>().variant().toString();
}

// (service, path) of each child.
QList<std::pair<QString, QString>> children(const QString& service, const QString& path) {
    QList<std::pair<QString, QString>> found;
    const QDBusMessage reply = ask(service, path, kAccessible, QStringLiteral("GetChildren"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return found;
    const auto array = reply.arguments().constFirst().value<QDBusArgument>();
    array.beginArray();
    while (!array.atEnd()) {
        QString childService;
        QDBusObjectPath childPath;
        array.beginStructure();
        array >> childService >> childPath;
        array.endStructure();
        found.append({childService, childPath.path()});
    }
    array.endArray();
    return found;
}

// Every element of the applications the registry knows, depth first.
QList<Element> walkRegistry() {
    QList<Element> elements;
    std::vector<std::tuple<QString, QString, int>> pending;
    for (const auto& [service, path] : children(kRegistry, kRootPath))
        pending.emplace_back(service, path, 0);
    while (!pending.empty() && elements.size() < kMaxElements) {
        const auto [service, path, depth] = pending.back();
        pending.pop_back();
        const QDBusMessage role = ask(service, path, kAccessible, QStringLiteral("GetRoleName"));
        elements.append({role.arguments().value(0).toString(),
                         property(service, path, QStringLiteral("Name")),
                         property(service, path, QStringLiteral("Description")), path});
        if (depth < kMaxDepth)
            for (const auto& [childService, childPath] : children(service, path))
                pending.emplace_back(childService, childPath, depth + 1);
    }
    return elements;
}

QList<Element> withRole(const QList<Element>& elements, const QString& role) {
    QList<Element> found;
    for (const Element& element : elements)
        if (element.role == role) found.append(element);
    return found;
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

    QTemporaryDir files;

private slots:
    void initTestCase() { QVERIFY(files.isValid()); }
    void init() { vantle::test::startFromCleanSettings(); }

    void everythingToActOnIsNamedAndRowsSayWhatTheyHold() {
        // The queue's file stays there: the phone takes no uploads.
        Phone phone({QStringLiteral("--no-upload")});
        QVERIFY(writeFile(phone.path(QStringLiteral("note.txt")), "note"));
        QVERIFY(QDir().mkpath(phone.path(QStringLiteral("Trip"))));
        QVERIFY(writeFile(phone.path(QStringLiteral("Trip/plan.txt")), "plan"));
        const QString queued = files.filePath(QStringLiteral("queued.txt"));
        QVERIFY(writeFile(queued, "queued"));
        Program program;
        QVERIFY(program.started);
        QVERIFY(program.add({queued}));
        QVERIFY(program.connectTo(phone));
        program.window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(program.window()));
        QTRY_VERIFY_WITH_TIMEOUT(
            program.phoneDataSource()->rowCount() == 2 &&
                program.phoneDataSource()->pathsWithoutIconsAndSizes().isEmpty(),
            kWaitMs);

        QList<Element> elements;
        QVERIFY(QTest::qWaitFor(
            [&] {
                elements = walkRegistry();
                return withRole(elements, QStringLiteral("cell")).size() >= 3;
            },
            kWaitMs));

        QStringList unnamed;
        for (const Element& element : std::as_const(elements))
            if (kActedOn.contains(element.role) && element.name.trimmed().isEmpty())
                unnamed << element.role + QStringLiteral(" at ") + element.path;
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral("; "))));

        QStringList tables;
        for (const Element& table : withRole(elements, QStringLiteral("table")))
            tables << table.name;
        QVERIFY2(tables.contains(QStringLiteral("Files awaiting transfer")),
                 qPrintable(tables.join(u'|')));
        QVERIFY2(tables.contains(program.phoneHeading()), qPrintable(tables.join(u'|')));

        QStringList cells;
        for (const Element& cell : withRole(elements, QStringLiteral("cell")))
            cells << cell.name;
        for (const QString& said :
             {QStringLiteral("queued.txt, 6 Bytes"), QStringLiteral("note.txt, 4 Bytes"),
              QStringLiteral("Trip, folder, 4 Bytes")})
            QVERIFY2(cells.contains(said), qPrintable(cells.join(u'|')));

        QStringList buttons;
        for (const Element& button : withRole(elements, QStringLiteral("push button")))
            buttons << button.name;
        for (const QString& button : {QStringLiteral("Add Files"), QStringLiteral("Stop Upload")})
            QVERIFY2(buttons.contains(button), qPrintable(buttons.join(u'|')));
        QVERIFY(!withRole(elements, QStringLiteral("progress bar")).isEmpty());
    }
};

int main(int argc, char** argv) {
    // Qt publishes its tree only on a real platform: the suite runs itself again under Xvfb.
    if (!vantle::test::runUnderXvfb(argc, argv, "VANTLE_A11Y_UNDER_XVFB", "1366x768x24")) return 1;
    QTemporaryDir profile;
    vantle::test::prepareAppProcess(profile.path(), vantle::test::PhoneSearch::Scripted);
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    // Published whether or not a screen reader runs.
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    qputenv("DBUS_SESSION_BUS_ADDRESS", PrivateSessionBus::addressIn(profile.path()).toUtf8());
    PrivateSessionBus session(profile.path());
    QProcess launcher;
    // Asked to end, the launcher ends its bus, and the registry with it.
    const auto stopLauncher = qScopeGuard([&] {
        launcher.terminate();
        if (!launcher.waitForFinished(vantle::test::kBusStartMs)) vantle::test::stopChild(launcher);
    });
    if (!session.start()) {
        std::fprintf(stderr, "tst_accessibility: the private session bus did not start\n");
        return 1;
    }
    launcher.start(QLatin1String(kBusLauncher), {QStringLiteral("--launch-immediately")});
    QApplication app(argc, argv);
    vantle::test::nameApplication();
    // The program finds the bus as it appears, as the walker does here.
    const QDBusConnection sessionBus = QDBusConnection::sessionBus();
    const bool launched = QTest::qWaitFor(
        [&] { return sessionBus.interface()->isServiceRegistered(QStringLiteral("org.a11y.Bus")); },
        vantle::test::kBusStartMs);
    const QDBusMessage address = sessionBus.call(QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
        QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")));
    if (!launched || !QDBusConnection::connectToBus(address.arguments().value(0).toString(),
                                                    QLatin1String(kWalkerConnection))
                          .isConnected()) {
        std::fprintf(stderr, "tst_accessibility: the accessibility bus did not start\n");
        return 1;
    }
    AccessibilityTest suite;
    return QTest::qExec(&suite, argc, argv);
}

#include "tst_accessibility.moc"
