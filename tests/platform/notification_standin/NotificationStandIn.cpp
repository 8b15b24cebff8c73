// notification_standin RECORD_FILE: owns org.freedesktop.Notifications and
// org.freedesktop.FileManager1 on the bus of DBUS_SESSION_BUS_ADDRESS, appends every call it
// gets to RECORD_FILE as one JSON object a line, and prints "ready" once both names are its own.
// A test makes it invoke an action (with an activation token, if it gives one) or close a
// notification through its control interface.
#include "../StandInRecorder.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QVariantMap>
#include <cstdio>

namespace {

using vantle::test::StandInRecorder;

const char kPath[] = "/org/freedesktop/Notifications";
const char kInterface[] = "org.freedesktop.Notifications";
// Why a notification closed, as the protocol numbers them.
constexpr uint kDismissedByUser = 2;

void emitSignal(const QString& name, const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createSignal(QString::fromLatin1(kPath),
                                                      QString::fromLatin1(kInterface), name);
    message.setArguments(arguments);
    QDBusConnection::sessionBus().send(message);
}

class Notifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit Notifications(StandInRecorder& recorder) : mRecorder(recorder) {}

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int timeout) {
        const uint id = replacesId ? replacesId : ++mLastId;
        mRecorder.record({{QStringLiteral("member"), QStringLiteral("Notify")},
                          {QStringLiteral("id"), static_cast<qint64>(id)},
                          {QStringLiteral("app_name"), appName},
                          {QStringLiteral("replaces_id"), static_cast<qint64>(replacesId)},
                          {QStringLiteral("app_icon"), appIcon},
                          {QStringLiteral("summary"), summary},
                          {QStringLiteral("body"), body},
                          {QStringLiteral("actions"), QJsonArray::fromStringList(actions)},
                          {QStringLiteral("hints"), QJsonObject::fromVariantMap(hints)},
                          {QStringLiteral("timeout"), timeout}});
        return id;
    }
    void CloseNotification(uint id) {
        mRecorder.record({{QStringLiteral("member"), QStringLiteral("CloseNotification")},
                          {QStringLiteral("id"), static_cast<qint64>(id)}});
        emitSignal(QStringLiteral("NotificationClosed"), {id, 3U});
    }
    QStringList GetCapabilities() {
        return {QStringLiteral("actions"), QStringLiteral("body"), QStringLiteral("body-markup")};
    }

private:
    StandInRecorder& mRecorder;
    uint mLastId = 0;
};

// What a test asks of the stand-in: a user's click on an action, or a dismissal.
class Control : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "invalid.vantle.NotificationStandIn")

public slots:
    // With a token, as servers of the protocol's version 1.2 do: the token for the window the
    // action brings back comes just before the action.
    void InvokeAction(uint id, const QString& key, const QString& activationToken) {
        if (!activationToken.isEmpty())
            emitSignal(QStringLiteral("ActivationToken"), {id, activationToken});
        emitSignal(QStringLiteral("ActionInvoked"), {id, key});
        emitSignal(QStringLiteral("NotificationClosed"), {id, kDismissedByUser});
    }
    void Dismiss(uint id) {
        emitSignal(QStringLiteral("NotificationClosed"), {id, kDismissedByUser});
    }
};

class FileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    explicit FileManager(StandInRecorder& recorder) : mRecorder(recorder) {}

public slots:
    void ShowItems(const QStringList& uris, const QString& startupId) {
        mRecorder.record({{QStringLiteral("member"), QStringLiteral("ShowItems")},
                          {QStringLiteral("uris"), QJsonArray::fromStringList(uris)},
                          {QStringLiteral("startup_id"), startupId}});
    }

private:
    StandInRecorder& mRecorder;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: notification_standin RECORD_FILE\n");
        return 2;
    }
    StandInRecorder recorder(arguments.at(1));
    if (!recorder.open()) {
        std::fprintf(stderr, "notification_standin: cannot write %s\n",
                     qPrintable(arguments.at(1)));
        return 1;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "notification_standin: no bus: %s\n",
                     qPrintable(bus.lastError().message()));
        return 1;
    }
    Notifications notifications(recorder);
    Control control;
    FileManager fileManager(recorder);
    const bool registered =
        bus.registerObject(QString::fromLatin1(kPath), &notifications,
                           QDBusConnection::ExportAllSlots) &&
        bus.registerObject(QStringLiteral("/invalid/vantle/NotificationStandIn"), &control,
                           QDBusConnection::ExportAllSlots) &&
        bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fileManager,
                           QDBusConnection::ExportAllSlots) &&
        bus.registerService(QStringLiteral("org.freedesktop.Notifications")) &&
        bus.registerService(QStringLiteral("org.freedesktop.FileManager1"));
    if (!registered) {
        std::fprintf(stderr, "notification_standin: cannot register: %s\n",
                     qPrintable(bus.lastError().message()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "NotificationStandIn.moc"
