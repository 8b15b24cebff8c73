#include "platform/SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <atomic>
#include <utility>

namespace vantle {
namespace {

const QLatin1StringView kLogindService{"org.freedesktop.login1"};
const QLatin1StringView kLogindPath{"/org/freedesktop/login1"};
const QLatin1StringView kLogindInterface{"org.freedesktop.login1.Manager"};
const QLatin1StringView kInhibitWhat{"sleep"};
// Sleep waits for us, rather than merely hearing about it first ("delay").
const QLatin1StringView kInhibitMode{"block"};
// logind answers at once; a bus that does not is given up on after this, and the window never
// waits for it.
constexpr int kInhibitTimeoutMs = 20'000;

} // namespace

SleepInhibitor::SleepInhibitor(QString busAddress, QObject* parent)
    : QObject(parent), mBusAddress(std::move(busAddress)) {
    // Unique for the process's life: a name given again would hand back an earlier connection.
    static std::atomic<quint64> made{0};
    mConnectionName = QStringLiteral("vantle-sleep-inhibitor-%1").arg(++made);
}

SleepInhibitor::~SleepInhibitor() {
    mConnecting.shutDown(BackgroundWork::kDefaultShutdownLimit);
    mLock.reset();
    QDBusConnection::disconnectFromBus(mConnectionName);
}

void SleepInhibitor::hold(const QString& why) {
    mWanted = why;
    switch (mBus) {
    case Bus::NotConnected:
        connectBus();
        return;
    case Bus::Connecting:
    case Bus::Unavailable:
        return;
    case Bus::Connected:
        if (!mAsking && (!mLock || mHeldReason != mWanted)) ask();
        return;
    }
}

void SleepInhibitor::release() {
    mWanted.clear();
    mLock.reset();
    mHeldReason.clear();
}

void SleepInhibitor::connectBus() {
    mBus = Bus::Connecting;
    mConnecting.runThenCallback(
        [address = mBusAddress, name = mConnectionName]() -> QString {
            const QDBusConnection bus =
                address.isEmpty() ? QDBusConnection::connectToBus(QDBusConnection::SystemBus, name)
                                  : QDBusConnection::connectToBus(address, name);
            if (!bus.isConnected())
                return QStringLiteral("no system bus: ") + bus.lastError().message();
            if (!(bus.connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing))
                return QStringLiteral("the system bus does not pass file descriptors");
            return QString();
        },
        [this](const QString& error) { busConnected(error); });
}

void SleepInhibitor::busConnected(const QString& error) {
    if (!error.isEmpty()) return fail(error);
    mBus = Bus::Connected;
    if (!mWanted.isEmpty()) ask();
}

void SleepInhibitor::ask() {
    QDBusMessage call = QDBusMessage::createMethodCall(kLogindService, kLogindPath,
                                                       kLogindInterface, QStringLiteral("Inhibit"));
    call << QString(kInhibitWhat) << QString::fromLatin1(kWho) << mWanted << QString(kInhibitMode);
    mAsking = true;
    auto* watcher = new QDBusPendingCallWatcher(
        QDBusConnection(mConnectionName).asyncCall(call, kInhibitTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, why = mWanted](QDBusPendingCallWatcher* done) { answered(why, done); });
}

void SleepInhibitor::answered(const QString& why, QDBusPendingCallWatcher* done) {
    done->deleteLater();
    mAsking = false;
    const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *done;
    if (reply.isError())
        return fail(reply.error().name() + QStringLiteral(": ") + reply.error().message());
    if (!reply.value().isValid()) return fail(QStringLiteral("logind gave no lock"));
    // Released meanwhile: the lock goes with the reply.
    if (mWanted.isEmpty()) return;
    // The new lock first, then the old one goes.
    mLock = std::make_unique<QDBusUnixFileDescriptor>(reply.value());
    mHeldReason = why;
    if (mHeldReason != mWanted) ask();
}

void SleepInhibitor::fail(const QString& reason) {
    if (mBus == Bus::Unavailable) return;
    mBus = Bus::Unavailable;
    mLock.reset();
    mHeldReason.clear();
    emit unavailable(reason);
}

} // namespace vantle
