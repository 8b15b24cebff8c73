// logind_standin RECORD_FILE: owns org.freedesktop.login1 on the bus of DBUS_SESSION_BUS_ADDRESS
// and answers Inhibit with one end of a socket pair, as logind does with a pipe. Appends to
// RECORD_FILE, one JSON object a line, every lock asked for ("Inhibit": its arguments and an id)
// and, when the holder's end closes, that lock's release ("Released": its id). Prints "ready"
// once the name is its own.
#include "../StandInRecorder.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using vantle::test::StandInRecorder;

class Manager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    explicit Manager(StandInRecorder& recorder) : mRecorder(recorder) {}

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode) {
        const qint64 id = ++mLastId;
        mRecorder.record({{QStringLiteral("member"), QStringLiteral("Inhibit")},
                          {QStringLiteral("id"), id},
                          {QStringLiteral("what"), what},
                          {QStringLiteral("who"), who},
                          {QStringLiteral("why"), why},
                          {QStringLiteral("mode"), mode}});
        int ends[2] = {-1, -1};
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return {};
        // Ours is watched: it reads the end of the file once every copy of the other is closed.
        auto* watch = new QSocketNotifier(ends[0], QSocketNotifier::Read, this);
        connect(watch, &QSocketNotifier::activated, this, [this, watch, id] {
            char byte = 0;
            if (::read(static_cast<int>(watch->socket()), &byte, 1) > 0) return;
            mRecorder.record({{QStringLiteral("member"), QStringLiteral("Released")},
                              {QStringLiteral("id"), id}});
            ::close(static_cast<int>(watch->socket()));
            watch->deleteLater();
        });
        QDBusUnixFileDescriptor theirs;
        theirs.giveFileDescriptor(ends[1]);
        return theirs;
    }

private:
    StandInRecorder& mRecorder;
    qint64 mLastId = 0;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: logind_standin RECORD_FILE\n");
        return 2;
    }
    StandInRecorder recorder(arguments.at(1));
    if (!recorder.open()) {
        std::fprintf(stderr, "logind_standin: cannot write %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    Manager manager(recorder);
    if (!bus.isConnected() ||
        !bus.registerObject(QStringLiteral("/org/freedesktop/login1"), &manager,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.login1"))) {
        std::fprintf(stderr, "logind_standin: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "LogindStandIn.moc"
