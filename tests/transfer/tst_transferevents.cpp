#include "platform/NotificationCenter.h"
#include "transfer/ProtocolKeys.h"
#include "transfer/TransferEvents.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <vector>

using namespace vantle;
using namespace Qt::StringLiterals;

namespace {

// The user info the transfer controller builds for a notification from the phone.
QVariantMap fromPhone(const QVariant& noteInfo = {}) {
    QVariantMap info{{QString(keys::kDeviceName), u"Ann's phone"_s},
                     {QString(keys::kPhoneIP), u"127.0.0.1"_s}};
    if (noteInfo.isValid()) info.insert(QString(keys::kNoteInfo), noteInfo);
    return info;
}

// A signal's arguments in comparable form: an absent optional text becomes an invalid variant.
QVariantList plain(const QList<QVariant>& arguments) {
    QVariantList out;
    for (const QVariant& argument : arguments) {
        if (argument.metaType() == QMetaType::fromType<std::optional<QString>>()) {
            const auto text = argument.value<std::optional<QString>>();
            out.append(text ? QVariant(*text) : QVariant());
        } else {
            out.append(argument);
        }
    }
    return out;
}

} // namespace

class TransferEventsTest : public QObject {
    Q_OBJECT

private slots:
    void eachNotificationBecomesItsSignal_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("userInfo");
        QTest::addColumn<QString>("signal"); // empty: none at all
        QTest::addColumn<QVariantList>("arguments");

        const QString allowed(notes::kConnectionAllowed);
        const QString denied(notes::kConnectionDenied);
        const QString finished(notes::kTransferFinished);
        const QString progress(notes::kDownloadProgress);
        const QString failed(notes::kDownloadFailed);
        const QVariant none;

        QTest::newRow("approval") << allowed << QVariant(fromPhone()) << u"connectionAllowed"_s
                                  << QVariantList{u"Ann's phone"_s, u"127.0.0.1"_s};
        QTest::newRow("refusal without an address")
            << denied << QVariant(QVariantMap{{QString(keys::kDeviceName), u"Ann's phone"_s}})
            << u"connectionDenied"_s << QVariantList{u"Ann's phone"_s, QString()};
        QTest::newRow("refusal with no dictionary still refuses")
            << denied << QVariant(42) << u"connectionDenied"_s
            << QVariantList{QString(), QString()};
        QTest::newRow("a name that is no text")
            << allowed << QVariant(QVariantMap{{QString(keys::kDeviceName), 7}})
            << u"connectionAllowed"_s << QVariantList{QString(), QString()};
        QTest::newRow("listing") << QString(notes::kServerListingChanged) << QVariant(fromPhone())
                                 << u"serverListingChanged"_s << QVariantList{};
        QTest::newRow("finish naming its item")
            << finished << QVariant(fromPhone(QVariantMap{{QString(keys::kPath), u"Docs/a.pdf"_s}}))
            << u"transferFinished"_s << QVariantList{u"Docs/a.pdf"_s};
        QTest::newRow("finish naming nothing")
            << finished << QVariant(fromPhone()) << u"transferFinished"_s << QVariantList{none};
        QTest::newRow("finish with unreadable info still finishes")
            << finished << QVariant(fromPhone(u"Docs/a.pdf"_s)) << u"transferFinished"_s
            << QVariantList{none};
        QTest::newRow("progress") << progress
                                  << QVariant(QVariantList{qint64(100), qint64(40), u"a.pdf"_s})
                                  << u"downloadProgress"_s
                                  << QVariantList{quint64(100), quint64(40)};
        QTest::newRow("reset after a cancel")
            << progress << none << u"downloadCancelled"_s << QVariantList{};
        QTest::newRow("progress with one count")
            << progress << QVariant(QVariantList{qint64(1)}) << QString() << QVariantList{};
        QTest::newRow("negative count")
            << progress << QVariant(QVariantList{qint64(-1), 5}) << QString() << QVariantList{};
        QTest::newRow("failure") << failed << QVariant(u"the disk is full"_s) << u"downloadFailed"_s
                                 << QVariantList{u"the disk is full"_s};
        QTest::newRow("failure without a reason still fails")
            << failed << QVariant(QVariantMap()) << u"downloadFailed"_s
            << QVariantList{u"no reason was given"_s};
    }

    void eachNotificationBecomesItsSignal() {
        QFETCH(QString, name);
        QFETCH(QVariant, userInfo);
        QFETCH(QString, signal);
        QFETCH(QVariantList, arguments);

        TransferEvents events;
        std::vector<std::pair<QString, std::unique_ptr<QSignalSpy>>> spies;
        const QMetaObject& meta = TransferEvents::staticMetaObject;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            const QMetaMethod method = meta.method(i);
            if (method.methodType() != QMetaMethod::Signal) continue;
            spies.emplace_back(QString::fromLatin1(method.name()),
                               std::make_unique<QSignalSpy>(&events, method));
        }
        QVERIFY(spies.size() >= 7);

        NotificationCenter::defaultCenter().post(name, {}, userInfo);

        for (const auto& [emitted, spy] : spies) {
            QCOMPARE(spy->size(), emitted == signal ? 1 : 0);
            if (emitted == signal) QCOMPARE(plain(spy->at(0)), arguments);
        }
    }
};

QTEST_GUILESS_MAIN(TransferEventsTest)
#include "tst_transferevents.moc"
