#include "platform/Defaults.h"
#include "platform/MainThread.h"
#include "platform/NotificationCenter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <memory>

using namespace Qt::StringLiterals;

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
        center.addObserver(u"InfoChanged"_s, &observer, [&](const Notification& n) {
            seenOn = QThread::currentThread();
            seenInfo = n.userInfo;
        });
        std::unique_ptr<QThread> worker(QThread::create(
            [] { NotificationCenter::defaultCenter().post(u"InfoChanged"_s, {}, 42); }));
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
            center.addObserver(u"Gone"_s, &observer, [&](const Notification&) { ++calls; });
            center.post(u"Gone"_s);
            QCOMPARE(calls, 1);
        }
        center.post(u"Gone"_s);
        QCOMPARE(calls, 1);
    }

    void handlerMayRemoveItselfWhileDelivering() {
        QObject observer;
        auto& center = NotificationCenter::defaultCenter();
        int calls = 0;
        NotificationCenter::Token token = 0;
        token = center.addObserver(u"Once"_s, &observer, [&](const Notification&) {
            ++calls;
            center.removeObserver(token);
        });
        center.post(u"Once"_s);
        center.post(u"Once"_s);
        QCOMPARE(calls, 1);
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
        Defaults::remove(u"Flag"_s);
        QCOMPARE(Defaults::boolForKey(u"Flag"_s, true), true);
        Defaults::setBool(u"Flag"_s, false);
        QCOMPARE(Defaults::boolForKey(u"Flag"_s, true), false);
        Defaults::setBool(u"Flag"_s, true);
        Defaults::sync();
        QCOMPARE(Defaults::boolForKey(u"Flag"_s, false), true);
        // Strings count as true only when they are exactly u"1"_s.
        Defaults::setValue(u"Flag"_s, u"true"_s);
        QCOMPARE(Defaults::boolForKey(u"Flag"_s, true), false);
        Defaults::setValue(u"Flag"_s, u"1"_s);
        QCOMPARE(Defaults::boolForKey(u"Flag"_s, false), true);
        QCOMPARE(Defaults::boolValue(QVariant(2)), true);
        QCOMPARE(Defaults::boolValue(QVariant(0.0)), false);
        Defaults::remove(u"Flag"_s);
    }

    // An absent key reads as the setting's own default; a presence counts whatever it holds.
    void typedSettingsReadTheirDefaults() {
        constexpr BoolSetting on{QLatin1StringView("TypedOn"), true};
        constexpr BoolSetting off{QLatin1StringView("TypedOff"), false};
        constexpr PresenceSetting seen{QLatin1StringView("TypedSeen")};
        constexpr ValueSetting<QDateTime> when{QLatin1StringView("TypedWhen")};
        for (QLatin1StringView key : {on.key, off.key, seen.key, when.key})
            Defaults::remove(QString(key));
        QCOMPARE(Defaults::get(on), true);
        QCOMPARE(Defaults::get(off), false);
        QCOMPARE(Defaults::get(seen), false);
        QCOMPARE(Defaults::get(when), std::nullopt);

        Defaults::set(on, false);
        Defaults::setBool(QString(seen.key), false);
        const QDateTime now = QDateTime::currentDateTime();
        Defaults::set(when, now);
        Defaults::sync();
        QCOMPARE(Defaults::get(on), false);
        QCOMPARE(Defaults::get(seen), true);
        QCOMPARE(Defaults::get(when), std::optional(now));
        for (QLatin1StringView key : {on.key, off.key, seen.key, when.key})
            Defaults::remove(QString(key));
    }
};

QTEST_GUILESS_MAIN(NotificationsTest)
#include "tst_notifications.moc"
