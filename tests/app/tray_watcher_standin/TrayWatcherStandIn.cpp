// tray_watcher_standin RECORD_FILE: owns org.kde.StatusNotifierWatcher on the bus of
// DBUS_SESSION_BUS_ADDRESS as a desktop's tray does, says a host is there, appends every
// registration it gets (with the process that asked) to RECORD_FILE as one JSON object a line, and
// prints "ready" once the name is its own.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <cstdio>

namespace {

const char kService[] = "org.kde.StatusNotifierWatcher";
const char kPath[] = "/StatusNotifierWatcher";

class Watcher : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    explicit Watcher(const QString& recordPath) : mRecord(recordPath) {}
    bool open() { return mRecord.open(QIODevice::WriteOnly | QIODevice::Append); }

    QStringList items() const { return mItems; }
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

public slots:
    void RegisterStatusNotifierItem(const QString& service) {
        record(QStringLiteral("RegisterStatusNotifierItem"), service);
        mItems.append(service);
        emit StatusNotifierItemRegistered(service);
    }
    void RegisterStatusNotifierHost(const QString& service) {
        record(QStringLiteral("RegisterStatusNotifierHost"), service);
    }

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierItemUnregistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    void record(const QString& member, const QString& service) {
        const QJsonObject call{
            {QStringLiteral("member"), member},
            {QStringLiteral("service"), service},
            {QStringLiteral("sender"), message().service()},
            {QStringLiteral("pid"),
             static_cast<qint64>(connection().interface()->servicePid(message().service()))}};
        mRecord.write(QJsonDocument(call).toJson(QJsonDocument::Compact) + '\n');
        mRecord.flush();
    }

    QFile mRecord;
    QStringList mItems;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: tray_watcher_standin RECORD_FILE\n");
        return 2;
    }
    Watcher watcher(arguments.at(1));
    if (!watcher.open()) {
        std::fprintf(stderr, "tray_watcher_standin: cannot write %s\n",
                     qPrintable(arguments.at(1)));
        return 1;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QString::fromLatin1(kPath), &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService(QString::fromLatin1(kService))) {
        std::fprintf(stderr, "tray_watcher_standin: cannot register: %s\n",
                     qPrintable(bus.lastError().message()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "TrayWatcherStandIn.moc"
