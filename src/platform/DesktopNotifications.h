#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

namespace vantle {

// Notifications through the desktop's notification service (org.freedesktop.Notifications on
// the session bus). Sending never waits for the service: the call is asynchronous and bounded in
// time. Without a bus or a service nothing is shown and `unavailable` says why, once per outage.
// Main thread only.
class DesktopNotifications final : public QObject {
    Q_OBJECT

public:
    // Who sends: the name the service shows and the desktop entry (also the icon's name) that
    // ties a notification to the program.
    struct Sender {
        QString appName;
        QString desktopEntry;
        // Empty: the session bus. Otherwise a bus address (a private bus, for tests).
        QString busAddress;
    };

    // The key of the action every notification offers; servers also invoke "default" when the
    // notification itself is clicked, and report both as `actionInvoked`.
    static constexpr const char* kShowAction = "show";
    static constexpr const char* kDefaultAction = "default";
    // How many sent notifications are remembered for their actions; older ones are forgotten.
    static constexpr int kRemembered = 32;

    explicit DesktopNotifications(Sender sender, QObject* parent = nullptr);
    ~DesktopNotifications() override;
    DesktopNotifications(const DesktopNotifications&) = delete;
    DesktopNotifications& operator=(const DesktopNotifications&) = delete;

    // Sends a notification with a "Show" action. `body` is plain text: characters that servers
    // read as markup are escaped. Returns the notification's token for the signals below, or 0
    // when nothing could be sent (no bus).
    quint64 notify(const QString& summary, const QString& body);

    // Tokens whose server id is known and still remembered.
    int pendingCount() const { return static_cast<int>(mServerIds.size()); }

    // Plain text made safe for a body that servers may read as simple markup.
    static QString escapeBody(const QString& text);
    // Connects to the session bus, which may take long (a bus that answers slowly, or an attempt
    // to start one); made on a worker ahead of the first notification, so that it never holds up
    // the window. Any thread.
    static void prepareSessionBus();

signals:
    // The user chose an action ("show" or "default") on one of our notifications;
    // `activationToken` lets the window it brings back take the focus (empty when the server
    // sent none: it came with version 1.2 of the protocol).
    void actionInvoked(quint64 token, const QString& actionKey, const QString& activationToken);
    // One of our notifications went away (expired, dismissed or closed).
    void closed(quint64 token);
    // Nothing can be shown: no session bus, no service, or the service did not answer. Emitted
    // once until a notification gets through again.
    void unavailable(const QString& reason);

private slots:
    void onActionInvoked(uint serverId, const QString& actionKey);
    void onActivationToken(uint serverId, const QString& activationToken);
    void onNotificationClosed(uint serverId, uint reason);

private:
    enum class State { Unknown, Working, Unavailable };
    // What the service said about one of its ids: an action, or the notification's end.
    struct ServerSignal {
        enum class Kind { ActionInvoked, Closed };
        Kind kind = Kind::Closed;
        uint serverId = 0;
        QString actionKey;
        QString activationToken;
    };

    void sent(quint64 token, uint serverId);
    void received(const ServerSignal& signal);
    void deliver(quint64 token, const ServerSignal& signal);
    void failed(const QString& reason);
    quint64 tokenFor(uint serverId) const;

    Sender mSender;
    QString mConnectionName;
    bool mConnected = false;
    State mState = State::Unknown;
    quint64 mLastToken = 0;
    // Token → the server's id; tokens grow, so the first entry is the oldest.
    QMap<quint64, uint> mServerIds;
    int mOutstanding = 0;
    // Signals about ids not known yet, kept while a reply is outstanding (bounded).
    QList<ServerSignal> mEarly;
    // The activation token sent just before an action, by the server's id, until the action
    // comes (bounded).
    QMap<uint, QString> mActivationTokens;
};

} // namespace vantle
