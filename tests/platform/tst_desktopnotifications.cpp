// Desktop notifications against a stand-in notification service on a private session bus: what
// is sent, the actions that come back, and the quiet failure without a bus or a service.
#include "platform/DesktopNotifications.h"
#include "platform/SessionBusFixture.h"

#include <QDBusPendingCallWatcher>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <memory>

using namespace vantle;
using namespace vantle::test;

namespace {

constexpr int kWaitMs = 10'000;
// Sending is asynchronous: even without a bus it returns at once.
constexpr qint64 kPromptMs = 1000;

DesktopNotifications::Sender onBus(const QString& busAddress) {
    return {QStringLiteral("Vantle"), QStringLiteral("invalid.vantle.Vantle"), busAddress};
}

// Every reply has been handled once no call is outstanding.
bool settled(const DesktopNotifications& notifications) {
    return QTest::qWaitFor(
        [&] { return notifications.findChildren<QDBusPendingCallWatcher*>().isEmpty(); }, kWaitMs);
}

} // namespace

class DesktopNotificationsTest : public QObject {
    Q_OBJECT
    QTemporaryDir folder;
    std::unique_ptr<PrivateSessionBus> bus;
    std::unique_ptr<NotificationStandIn> service;

    // The id the service gave the notification recorded `index`-th.
    uint serverId(int index) const {
        return static_cast<uint>(service->records(QStringLiteral("Notify"))
                                     .at(index)
                                     .value(QStringLiteral("id"))
                                     .toInteger());
    }
    bool recordsBecome(int count) const {
        return QTest::qWaitFor(
            [&] { return service->records(QStringLiteral("Notify")).size() == count; }, kWaitMs);
    }

private slots:
    void init() {
        QVERIFY(folder.isValid());
        QFile::remove(folder.filePath(QStringLiteral("calls.jsonl")));
        bus = std::make_unique<PrivateSessionBus>(folder.path());
        QVERIFY(bus->start());
        service = std::make_unique<NotificationStandIn>(
            bus->address(), folder.filePath(QStringLiteral("calls.jsonl")));
        QVERIFY(service->start());
    }
    void cleanup() {
        service.reset();
        bus.reset();
    }

    void notifySendsEveryField() {
        DesktopNotifications notifications(onBus(bus->address()));
        QSignalSpy unavailable(&notifications, &DesktopNotifications::unavailable);
        QVERIFY(notifications.notify(QStringLiteral("Download Finished"),
                                     QStringLiteral("Tom & <b>Jerry</b> \"1\".txt")) != 0);
        QVERIFY(recordsBecome(1));
        const QJsonObject call = service->records(QStringLiteral("Notify")).first();
        QCOMPARE(call.value(QStringLiteral("app_name")).toString(), QStringLiteral("Vantle"));
        QCOMPARE(call.value(QStringLiteral("replaces_id")).toInt(), 0);
        QCOMPARE(call.value(QStringLiteral("app_icon")).toString(),
                 QStringLiteral("invalid.vantle.Vantle"));
        QCOMPARE(call.value(QStringLiteral("summary")).toString(),
                 QStringLiteral("Download Finished"));
        // Markup characters in a name are shown, never read as markup.
        QCOMPARE(call.value(QStringLiteral("body")).toString(),
                 QStringLiteral("Tom &amp; &lt;b&gt;Jerry&lt;/b&gt; \"1\".txt"));
        QCOMPARE(call.value(QStringLiteral("actions")).toArray(),
                 QJsonArray({QStringLiteral("default"), QStringLiteral("Show"),
                             QStringLiteral("show"), QStringLiteral("Show")}));
        QCOMPARE(call.value(QStringLiteral("hints")).toObject(),
                 QJsonObject(
                     {{QStringLiteral("desktop-entry"), QStringLiteral("invalid.vantle.Vantle")}}));
        QCOMPARE(call.value(QStringLiteral("timeout")).toInt(), -1);
        QVERIFY(settled(notifications));
        QCOMPARE(unavailable.size(), 0);
    }

    void actionsAndClosingComeBackForOwnNotificationsOnly() {
        DesktopNotifications notifications(onBus(bus->address()));
        QSignalSpy actions(&notifications, &DesktopNotifications::actionInvoked);
        QSignalSpy closed(&notifications, &DesktopNotifications::closed);
        // Another program's notification on the same service.
        QDBusMessage foreign = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.Notifications"),
            QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
        foreign << QStringLiteral("Other") << 0U << QString() << QStringLiteral("Theirs")
                << QString() << QStringList() << QVariantMap() << -1;
        QVERIFY(QDBusConnection::connectToBus(bus->address(), QStringLiteral("other-program"))
                    .call(foreign, QDBus::Block, kWaitMs)
                    .type() == QDBusMessage::ReplyMessage);
        QDBusConnection::disconnectFromBus(QStringLiteral("other-program"));

        const quint64 first = notifications.notify(QStringLiteral("One"), QStringLiteral("a"));
        const quint64 second = notifications.notify(QStringLiteral("Two"), QStringLiteral("b"));
        QVERIFY(first != 0 && second != 0 && first != second);
        QVERIFY(recordsBecome(3));
        QVERIFY(settled(notifications));
        QCOMPARE(notifications.pendingCount(), 2);

        // The signals come in order: the foreign one's would have come first.
        QVERIFY(service->invokeAction(serverId(0), QStringLiteral("show")));
        QVERIFY(service->invokeAction(serverId(2), QStringLiteral("default")));
        QTRY_COMPARE_WITH_TIMEOUT(closed.size(), 1, kWaitMs);
        QCOMPARE(actions.size(), 1);
        QCOMPARE(actions.at(0).at(0).toULongLong(), second);
        QCOMPARE(actions.at(0).at(1).toString(), QStringLiteral("default"));
        QCOMPARE(closed.at(0).at(0).toULongLong(), second);

        QVERIFY(service->dismiss(serverId(1)));
        QTRY_COMPARE_WITH_TIMEOUT(closed.size(), 2, kWaitMs);
        QCOMPARE(closed.at(1).at(0).toULongLong(), first);
        QCOMPARE(actions.size(), 1);
        // Closed notifications are forgotten.
        QCOMPARE(notifications.pendingCount(), 0);
    }

    // A server of the protocol's version 1.2 sends the token for the raise just before the action.
    void actionCarriesTheActivationTokenSentBeforeIt() {
        DesktopNotifications notifications(onBus(bus->address()));
        QSignalSpy actions(&notifications, &DesktopNotifications::actionInvoked);
        QVERIFY(notifications.notify(QStringLiteral("One"), QStringLiteral("a")) != 0);
        QVERIFY(notifications.notify(QStringLiteral("Two"), QStringLiteral("b")) != 0);
        QVERIFY(recordsBecome(2));
        QVERIFY(settled(notifications));
        QVERIFY(
            service->invokeAction(serverId(0), QStringLiteral("show"), QStringLiteral("token-1")));
        QVERIFY(service->invokeAction(serverId(1), QStringLiteral("default")));
        QTRY_COMPARE_WITH_TIMEOUT(actions.size(), 2, kWaitMs);
        QCOMPARE(actions.at(0).at(2).toString(), QStringLiteral("token-1"));
        QCOMPARE(actions.at(1).at(2).toString(), QString());
    }

    void onlyTheLatestNotificationsAreRemembered() {
        DesktopNotifications notifications(onBus(bus->address()));
        QSignalSpy actions(&notifications, &DesktopNotifications::actionInvoked);
        QSignalSpy unavailable(&notifications, &DesktopNotifications::unavailable);
        quint64 last = 0;
        for (int i = 0; i <= DesktopNotifications::kRemembered; ++i)
            last = notifications.notify(QStringLiteral("Sent"), QString::number(i));
        QVERIFY(recordsBecome(DesktopNotifications::kRemembered + 1));
        QVERIFY(settled(notifications));
        QCOMPARE(unavailable.size(), 0);
        QCOMPARE(notifications.pendingCount(), DesktopNotifications::kRemembered);
        QVERIFY(service->invokeAction(serverId(0), QStringLiteral("show")));
        QVERIFY(service->invokeAction(serverId(DesktopNotifications::kRemembered),
                                      QStringLiteral("show")));
        QTRY_COMPARE_WITH_TIMEOUT(actions.size(), 1, kWaitMs);
        QCOMPARE(actions.at(0).at(0).toULongLong(), last);
    }

    void withoutABusNothingIsSentAndItIsSaidOnce() {
        DesktopNotifications notifications(
            onBus(QStringLiteral("unix:path=") + folder.filePath(QStringLiteral("no-bus"))));
        QSignalSpy unavailable(&notifications, &DesktopNotifications::unavailable);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(notifications.notify(QStringLiteral("Nobody"), QStringLiteral("x")), 0ULL);
        QVERIFY(clock.elapsed() < kPromptMs);
        QCOMPARE(unavailable.size(), 1);
        QVERIFY(unavailable.at(0).at(0).toString().contains(QStringLiteral("no session bus")));
    }

    void withoutTheServiceItIsSaidOncePerOutage() {
        service->stop();
        DesktopNotifications notifications(onBus(bus->address()));
        QSignalSpy unavailable(&notifications, &DesktopNotifications::unavailable);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(notifications.notify(QStringLiteral("Lost"), QStringLiteral("1")) != 0);
        QVERIFY(notifications.notify(QStringLiteral("Lost"), QStringLiteral("2")) != 0);
        QVERIFY(clock.elapsed() < kPromptMs);
        QVERIFY(settled(notifications));
        QCOMPARE(unavailable.size(), 1);
        QVERIFY2(unavailable.at(0).at(0).toString().contains(QStringLiteral("ServiceUnknown")),
                 qPrintable(unavailable.at(0).at(0).toString()));

        // The service comes (back): notifications get through, and a later outage is told.
        service = std::make_unique<NotificationStandIn>(
            bus->address(), folder.filePath(QStringLiteral("calls.jsonl")));
        QVERIFY(service->start());
        QVERIFY(notifications.notify(QStringLiteral("Back"), QStringLiteral("3")) != 0);
        QVERIFY(recordsBecome(1));
        QVERIFY(settled(notifications));
        QCOMPARE(unavailable.size(), 1);
        service->stop();
        QVERIFY(notifications.notify(QStringLiteral("Lost"), QStringLiteral("4")) != 0);
        QTRY_COMPARE_WITH_TIMEOUT(unavailable.size(), 2, kWaitMs);
    }
};

QTEST_GUILESS_MAIN(DesktopNotificationsTest)

#include "tst_desktopnotifications.moc"
