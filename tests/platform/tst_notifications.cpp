#include "platform/Defaults.h"
#include "platform/MainThread.h"
#include "platform/NotificationCenter.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <atomic>
#include <memory>

using namespace vantle;

class NotificationsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void postFromWorkerArrivesOnMainThread() {
        QObject observer;
        QThread* seenOn = nullptr;
        QVariant seenInfo;
        auto& center = NotificationCenter::defaultCenter();
        center.addObserver("InfoChanged", &observer, [&](const Notification& n) {
            seenOn = QThread::currentThread();
            seenInfo = n.userInfo;
        });
        std::unique_ptr<QThread> worker(QThread::create(
            [] { NotificationCenter::defaultCenter().post("InfoChanged", {}, 42); }));
        worker->start();
        QVERIFY(worker->wait(5000));
        QTRY_COMPARE_WITH_TIMEOUT(seenInfo, QVariant(42), 5000);
        QCOMPARE(seenOn, QCoreApplication::instance()->thread());
        center.removeObservers(&observer);
    }

    void observerGoesAwayWithItsContext() {
        int calls = 0;
        auto& center = NotificationCenter::defaultCenter();
        {
            QObject observer;
            center.addObserver("Gone", &observer, [&](const Notification&) { ++calls; });
            center.post("Gone");
            QCOMPARE(calls, 1);
        }
        center.post("Gone");
        QCOMPARE(calls, 1);
    }

    void handlerMayRemoveItselfWhileDelivering() {
        QObject observer;
        auto& center = NotificationCenter::defaultCenter();
        int calls = 0;
        NotificationCenter::Token token = 0;
        token = center.addObserver("Once", &observer, [&](const Notification&) {
            ++calls;
            center.removeObserver(token);
        });
        center.post("Once");
        center.post("Once");
        QCOMPARE(calls, 1);
    }

    void waitingHandOffRunsInlineOnMainThread() {
        bool ran = false;
        runOnMainThreadAndWait([&] { ran = true; }); // would deadlock if it queued
        QVERIFY(ran);

        std::atomic<bool> ranFromWorker = false;
        std::unique_ptr<QThread> worker(QThread::create(
            [&] { runOnMainThreadAndWait([&] { ranFromWorker = isMainThread(); }); }));
        worker->start();
        QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished(), 5000);
        QVERIFY(ranFromWorker);
    }

    void delayedWorkIsDroppedWithItsContext() {
        int calls = 0;
        auto* context = new QObject;
        performAfterDelay(context, 10, [&] { ++calls; });
        delete context;
        QObject kept;
        performAfterDelay(&kept, 10, [&] { calls += 10; });
        QTRY_COMPARE_WITH_TIMEOUT(calls, 10, 5000);
    }

    void booleanPreferenceRule() {
        Defaults::remove("Flag");
        QCOMPARE(Defaults::boolForKey("Flag", true), true);
        Defaults::setBool("Flag", false);
        QCOMPARE(Defaults::boolForKey("Flag", true), false);
        Defaults::setBool("Flag", true);
        Defaults::sync();
        QCOMPARE(Defaults::boolForKey("Flag", false), true);
        // Strings count as true only when they are exactly "1".
        Defaults::setValue("Flag", QString("true"));
        QCOMPARE(Defaults::boolForKey("Flag", true), false);
        Defaults::setValue("Flag", QString("1"));
        QCOMPARE(Defaults::boolForKey("Flag", false), true);
        QCOMPARE(Defaults::boolValue(QVariant(2)), true);
        QCOMPARE(Defaults::boolValue(QVariant(0.0)), false);
        Defaults::remove("Flag");
    }
};

QTEST_GUILESS_MAIN(NotificationsTest)
#include "tst_notifications.moc"
