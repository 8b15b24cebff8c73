#include "platform/DesktopNotifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>
#include <atomic>
#include <utility>

namespace vantle {
namespace {

const char kService[] = "org.freedesktop.Notifications";
const char kPath[] = "/org/freedesktop/Notifications";
const char kInterface[] = "org.freedesktop.Notifications";
const char kShowLabel[] = QT_TRANSLATE_NOOP("vantle::DesktopNotifications", "Show");
const char kDesktopEntryHint[] = "desktop-entry";
// -1 lets the server pick how long a notification stays.
constexpr qint32 kServerDefaultTimeout = -1;
// The asynchronous call's bound: a service that never answers is given up on after this. The
// window never waits for it, so it can be generous with a busy desktop.
constexpr int kCallTimeoutMs = 20'000;
// A new notification, not a replacement of an earlier one.
constexpr uint kNoReplacement = 0;

QString latin(const char* text) {
    return QString::fromLatin1(text);
}

} // namespace

DesktopNotifications::DesktopNotifications(Sender sender, QObject* parent)
    : QObject(parent), mSender(std::move(sender)) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!mSender.busAddress.isEmpty()) {
        // Unique for the process's life: a connection of an earlier notifier may outlive it for
        // a moment, and a name given again would hand that connection back.
        static std::atomic<quint64> made{0};
        mConnectionName = QStringLiteral("vantle-notifications-%1").arg(++made);
        bus = QDBusConnection::connectToBus(mSender.busAddress, mConnectionName);
    }
    mConnectionName = bus.name();
    mConnected = bus.isConnected();
    if (!mConnected) return;
    bus.connect(latin(kService), latin(kPath), latin(kInterface), QStringLiteral("ActionInvoked"),
                this, SLOT(onActionInvoked(uint, QString)));
    bus.connect(latin(kService), latin(kPath), latin(kInterface),
                QStringLiteral("NotificationClosed"), this, SLOT(onNotificationClosed(uint, uint)));
    bus.connect(latin(kService), latin(kPath), latin(kInterface), QStringLiteral("ActivationToken"),
                this, SLOT(onActivationToken(uint, QString)));
}

DesktopNotifications::~DesktopNotifications() {
    QDBusConnection bus(mConnectionName);
    if (mConnected) {
        bus.disconnect(latin(kService), latin(kPath), latin(kInterface),
                       QStringLiteral("ActionInvoked"), this, SLOT(onActionInvoked(uint, QString)));
        bus.disconnect(latin(kService), latin(kPath), latin(kInterface),
                       QStringLiteral("NotificationClosed"), this,
                       SLOT(onNotificationClosed(uint, uint)));
        bus.disconnect(latin(kService), latin(kPath), latin(kInterface),
                       QStringLiteral("ActivationToken"), this,
                       SLOT(onActivationToken(uint, QString)));
    }
    if (!mSender.busAddress.isEmpty()) QDBusConnection::disconnectFromBus(mConnectionName);
}

void DesktopNotifications::prepareSessionBus() {
    // Qt keeps the connection once made; later calls on any thread find it.
    QDBusConnection::sessionBus();
}

QString DesktopNotifications::escapeBody(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
    escaped.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
    escaped.replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    return escaped;
}

quint64 DesktopNotifications::notify(const QString& summary, const QString& body) {
    QDBusConnection bus(mConnectionName);
    if (!mConnected || !bus.isConnected()) {
        const QDBusError why = bus.lastError();
        failed(QStringLiteral("no session bus") +
               (why.isValid() ? QStringLiteral(": ") + why.message() : QString()));
        return 0;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(latin(kService), latin(kPath),
                                                       latin(kInterface), QStringLiteral("Notify"));
    const QString show = QCoreApplication::translate("vantle::DesktopNotifications", kShowLabel);
    const QStringList actions{latin(kDefaultAction), show, latin(kShowAction), show};
    const QVariantMap hints{{latin(kDesktopEntryHint), mSender.desktopEntry}};
    call << mSender.appName << kNoReplacement << mSender.desktopEntry << summary << escapeBody(body)
         << actions << hints << kServerDefaultTimeout;
    const quint64 token = ++mLastToken;
    ++mOutstanding;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, token](QDBusPendingCallWatcher* done) {
                const QDBusPendingReply<uint> reply = *done;
                done->deleteLater();
                --mOutstanding;
                if (reply.isError())
                    failed(reply.error().name() + QStringLiteral(": ") + reply.error().message());
                else
                    sent(token, reply.value());
                if (mOutstanding == 0) mEarly.clear();
            });
    return token;
}

void DesktopNotifications::sent(quint64 token, uint serverId) {
    mState = State::Working;
    mServerIds.insert(token, serverId);
    while (mServerIds.size() > kRemembered)
        mServerIds.erase(mServerIds.begin());
    // A reply reaches us a turn of the event loop later than a signal sent after it, so a quick
    // click can come first.
    const QList<ServerSignal> early = std::exchange(mEarly, {});
    for (const ServerSignal& signal : early) {
        if (signal.serverId != serverId)
            mEarly.append(signal);
        else if (mServerIds.contains(token))
            deliver(token, signal);
    }
}

void DesktopNotifications::deliver(quint64 token, const ServerSignal& signal) {
    if (signal.kind == ServerSignal::Kind::ActionInvoked) {
        emit actionInvoked(token, signal.actionKey, signal.activationToken);
        return;
    }
    mServerIds.remove(token);
    emit closed(token);
}

void DesktopNotifications::failed(const QString& reason) {
    if (mState == State::Unavailable) return;
    mState = State::Unavailable;
    emit unavailable(reason);
}

quint64 DesktopNotifications::tokenFor(uint serverId) const {
    for (auto it = mServerIds.cbegin(); it != mServerIds.cend(); ++it)
        if (it.value() == serverId) return it.key();
    return 0;
}

void DesktopNotifications::onActionInvoked(uint serverId, const QString& actionKey) {
    received(
        {ServerSignal::Kind::ActionInvoked, serverId, actionKey, mActivationTokens.take(serverId)});
}

void DesktopNotifications::onActivationToken(uint serverId, const QString& activationToken) {
    // Sent for other programs' notifications too; only the latest few are kept.
    mActivationTokens.insert(serverId, activationToken);
    while (mActivationTokens.size() > kRemembered)
        mActivationTokens.erase(mActivationTokens.begin());
}

void DesktopNotifications::onNotificationClosed(uint serverId, uint /*reason*/) {
    mActivationTokens.remove(serverId);
    received({ServerSignal::Kind::Closed, serverId, {}, {}});
}

void DesktopNotifications::received(const ServerSignal& signal) {
    if (const quint64 token = tokenFor(signal.serverId))
        deliver(token, signal);
    else if (mOutstanding > 0 && mEarly.size() < kRemembered)
        mEarly.append(signal);
}

} // namespace vantle
