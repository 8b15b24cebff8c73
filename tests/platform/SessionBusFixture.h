#pragma once

// A private session bus and the stand-ins on it (notifications, the tray), for the suites that
// talk to the desktop. Everything started here is stopped by its process id.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTest>

namespace vantle::test {

inline constexpr int kBusStartMs = 10'000;
inline constexpr int kBusPollMs = 50;

// A child's output until `marker` shows up in it (bounded); false when it ended or never said it.
inline bool waitForOutput(QProcess& process, const QByteArray& marker, QByteArray* output) {
    QDeadlineTimer deadline(kBusStartMs);
    while (!deadline.hasExpired() && process.state() == QProcess::Running) {
        process.waitForReadyRead(kBusPollMs);
        output->append(process.readAllStandardOutput());
        if (output->contains(marker)) return true;
    }
    return false;
}

// A call answered while this thread's event loop runs, as it must be when this process serves
// what is asked; an empty message when no answer came in time.
inline QDBusMessage callWhileServing(const QDBusConnection& connection, const QDBusMessage& message,
                                     int timeoutMs) {
    const QDBusPendingCall pending = connection.asyncCall(message, timeoutMs);
    if (!QTest::qWaitFor([&] { return pending.isFinished(); }, timeoutMs)) return {};
    return pending.reply();
}

inline void stopChild(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    process.kill(); // our own child, by its process id
    process.waitForFinished(kBusStartMs);
}

// dbus-daemon with a configuration of our own: a socket in `folder`, no service activation (so
// no desktop service is ever started on it), everyone allowed to own names.
class PrivateSessionBus {
public:
    explicit PrivateSessionBus(const QString& folder) : mFolder(folder) {}
    ~PrivateSessionBus() { stopChild(mDaemon); }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // Known before the bus runs, so that it can be in the environment before anything opens the
    // session bus.
    static QString addressIn(const QString& folder) {
        return QStringLiteral("unix:path=") + folder + QStringLiteral("/bus");
    }
    QString address() const { return addressIn(mFolder); }

    bool start() {
        const QString config = mFolder + QStringLiteral("/bus.conf");
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly)) return false;
        file.write(QByteArrayLiteral(
                       "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                       "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/"
                       "busconfig.dtd\">\n<busconfig><type>session</type><listen>") +
                   address().toUtf8() +
                   QByteArrayLiteral("</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                                     "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                     "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>"
                                     "</busconfig>\n"));
        file.close();
        mDaemon.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                       QStringLiteral("--print-address")});
        if (!mDaemon.waitForStarted(kBusStartMs)) return false;
        QByteArray output;
        return waitForOutput(mDaemon, QByteArrayLiteral("unix:"), &output);
    }

private:
    QString mFolder;
    QProcess mDaemon;
};

// A stand-in service of tests/ on a bus: a program that records the calls it gets in a file, one
// JSON object a line, and says "ready" once its names are its own.
class RecordingStandIn {
public:
    RecordingStandIn(const QString& program, const QString& busAddress, const QString& recordPath)
        : mProgram(program), mBusAddress(busAddress), mRecordPath(recordPath) {}
    ~RecordingStandIn() { stopChild(mService); }
    RecordingStandIn(const RecordingStandIn&) = delete;
    RecordingStandIn& operator=(const RecordingStandIn&) = delete;

    bool start() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), mBusAddress);
        mService.setProcessEnvironment(environment);
        mService.start(mProgram, {mRecordPath});
        if (!mService.waitForStarted(kBusStartMs)) return false;
        QByteArray output;
        return waitForOutput(mService, QByteArrayLiteral("ready"), &output);
    }
    void stop() { stopChild(mService); }

    // Every call recorded so far, or those of one member ("Notify", "ShowItems", ...).
    QList<QJsonObject> records(const QString& member = {}) const {
        QList<QJsonObject> calls;
        QFile file(mRecordPath);
        if (!file.open(QIODevice::ReadOnly)) return calls;
        while (!file.atEnd()) {
            const QJsonObject call = QJsonDocument::fromJson(file.readLine()).object();
            if (member.isEmpty() || call.value(QStringLiteral("member")).toString() == member)
                calls.append(call);
        }
        return calls;
    }

protected:
    QString busAddress() const { return mBusAddress; }

private:
    QString mProgram;
    QString mBusAddress;
    QString mRecordPath;
    QProcess mService;
};

#ifdef VANTLE_NOTIFICATION_STANDIN
// The stand-in notification service (tests/platform/notification_standin) on a bus, with the
// calls it recorded and its control interface.
class NotificationStandIn : public RecordingStandIn {
public:
    NotificationStandIn(const QString& busAddress, const QString& recordPath)
        : RecordingStandIn(QStringLiteral(VANTLE_NOTIFICATION_STANDIN), busAddress, recordPath),
          mControlName(QStringLiteral("standin-control-") + recordPath) {}
    ~NotificationStandIn() { QDBusConnection::disconnectFromBus(mControlName); }
    NotificationStandIn(const NotificationStandIn&) = delete;
    NotificationStandIn& operator=(const NotificationStandIn&) = delete;

    bool start() {
        return RecordingStandIn::start() &&
               QDBusConnection::connectToBus(busAddress(), mControlName).isConnected();
    }

    // As if the user clicked the action `key` of notification `id`; a server of the newer
    // protocol first hands over an activation token for the window it brings back.
    bool invokeAction(uint id, const QString& key, const QString& activationToken = {}) {
        return control(QStringLiteral("InvokeAction"), {id, key, activationToken});
    }
    // As if the user dismissed notification `id`.
    bool dismiss(uint id) { return control(QStringLiteral("Dismiss"), {id}); }

private:
    bool control(const QString& method, const QVariantList& arguments) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.Notifications"),
            QStringLiteral("/invalid/vantle/NotificationStandIn"),
            QStringLiteral("invalid.vantle.NotificationStandIn"), method);
        call.setArguments(arguments);
        return QDBusConnection(mControlName).call(call, QDBus::Block, kBusStartMs).type() ==
               QDBusMessage::ReplyMessage;
    }

    QString mControlName;
};
#endif

} // namespace vantle::test
