// The PC's requests to the phone, each against vantle-phone, and the answers to the phone's
// requests.
#include "PhoneRig.h"
#include "platform/NotificationCenter.h"
#include "transfer/MessageEnvelope.h"
#include "transfer/ProtocolKeys.h"

#include <QDir>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

using namespace vantle;
using namespace vantle::test;
using namespace Qt::StringLiterals;

namespace {

// A store that holds a file and a folder with a file.
void fillStore(PhoneRig& rig) {
    QVERIFY(QDir(rig.storePath()).mkdir(u"Folder"_s));
    QVERIFY(writeFile(rig.storePath(u"a.txt"_s), 10));
    QVERIFY(writeFile(rig.storePath(u"Folder/inner.txt"_s), 20));
}

QVariantMap incoming(const QVariantMap& fields, std::int32_t number = 7) {
    QVariantMap request = fields;
    addRequestEnvelope(request, number);
    return request;
}

} // namespace

class TransferOpsTest : public QObject {
    Q_OBJECT

private slots:
    void versionCheck_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("appName");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("full") << u"full"_s << QStringList() << 259 << u"Vantle"_s << true;
        QTest::newRow("good only")
            << u"good-only"_s << QStringList() << 256 << u"preloaded"_s << true;
        QTest::newRow("no app name")
            << u"no-app-name"_s << QStringList() << 259 << u"preloaded"_s << true;
        QTest::newRow("no allow key")
            << u"no-allow-upload"_s << QStringList{u"--no-upload"_s} << 259 << u"Vantle"_s << true;
        QTest::newRow("uploads refused")
            << u"full"_s << QStringList{u"--no-upload"_s} << 259 << u"Vantle"_s << false;
    }
    void versionCheck() {
        QFETCH(QString, mode);
        QFETCH(QStringList, extra);
        PhoneRig rig(QStringList{u"--version-answer"_s, mode} + extra);
        QVERIFY(rig.connect());
        QString appName = u"preloaded"_s;
        bool allowed = false;
        const int version =
            onWorker([&] { return rig.transfer.askClientForVersionAndInfo(&appName, &allowed); });
        QTEST(version, "version");
        QTEST(appName, "appName");
        QTEST(allowed, "allowed");
    }

    void versionCheckWithoutAnswerLeavesTheOutValues() {
        PhoneRig rig({u"--withhold"_s, u"VersionCheck"_s});
        QVERIFY(rig.connect());
        QString appName = u"preloaded"_s;
        bool allowed = false;
        QCOMPARE(
            onWorker([&] { return rig.transfer.askClientForVersionAndInfo(&appName, &allowed); }),
            -1);
        QCOMPARE(appName, u"preloaded"_s);
        QCOMPARE(allowed, false);
    }

    void listings() {
        PhoneRig rig;
        fillStore(rig);
        QVERIFY(rig.connect());
        const auto listing = onWorker([&] { return rig.transfer.getDirectoryListing(u"/"_s); });
        QVERIFY(listing);
        QVERIFY(listing->contains(u"a.txt"_s));
        QVERIFY(listing->contains(u"Folder"_s));
        const auto plus = onWorker([&] { return rig.transfer.getDirectoryListingPlus(u"/"_s); });
        QVERIFY(plus);
        QCOMPARE(plus->value(u"Folder"_s).isFolder, true);
        QCOMPARE(plus->value(u"a.txt"_s).isFolder, false);
        // Not a folder: the answer lacks the listing.
        QCOMPARE(onWorker([&] { return rig.transfer.getDirectoryListing(u"/a.txt"_s); }),
                 std::nullopt);
    }

    void listingsWithoutAnswerAreEmpty() {
        PhoneRig rig({u"--withhold"_s, u"1"_s});
        QVERIFY(rig.connect());
        const auto listing = onWorker([&] { return rig.transfer.getDirectoryListing(u"/"_s); });
        QVERIFY(listing);
        QVERIFY(listing->isEmpty());
        // The phone was given up on: what comes next finds no connection.
        QTRY_VERIFY_WITH_TIMEOUT(!rig.controller.connected(), kWaitMs);
        const auto plus = onWorker([&] { return rig.transfer.getDirectoryListingPlus(u"/"_s); });
        QVERIFY(plus);
        QVERIFY(plus->isEmpty());
        QVERIFY(onWorker([&] { return rig.transfer.getIconsAndSizes({u"/a.txt"_s}); })->isEmpty());
    }

    // Long lists go in requests of at most 500 paths; the answers come back as one.
    void iconsAndSizesInBatches() {
        PhoneRig rig;
        fillStore(rig);
        QVERIFY(rig.connect());
        QStringList paths{u"/a.txt"_s, u"/Folder"_s};
        for (int i = 0; paths.size() < 2 * kMaxPathsPerIconsRequest + 3; ++i)
            paths.append(u"/missing-%1"_s.arg(i));
        const auto answer = onWorker([&] { return rig.transfer.getIconsAndSizes(paths); });
        QVERIFY(answer);
        QCOMPARE(answer->size(), paths.size());
        QCOMPARE(answer->value(u"/a.txt"_s).size, 10);
        QCOMPARE(answer->value(u"/Folder"_s).size, 20);
        const QList<QJsonObject> asked = rig.received(QString(requests::kGetIconsAndSizes));
        QCOMPARE(asked.size(), 3);
        QCOMPARE(asked[0].value(keys::kPaths).toArray().size(),
                 qsizetype(kMaxPathsPerIconsRequest));
        QCOMPARE(asked[2].value(keys::kPaths).toArray().size(), qsizetype(3));
    }

    void existenceFoldersRemovalAndAskingForFiles() {
        PhoneRig rig;
        fillStore(rig);
        QVERIFY(rig.connect());
        bool isDirectory = false;
        QVERIFY(onWorker([&] { return rig.transfer.fileExists(u"/Folder"_s, &isDirectory); }));
        QVERIFY(isDirectory);
        QVERIFY(onWorker([&] { return rig.transfer.fileExists(u"/a.txt"_s, &isDirectory); }));
        QVERIFY(!isDirectory);
        QVERIFY(!onWorker([&] { return rig.transfer.fileExists(u"/none"_s, nullptr); }));

        QVERIFY(onWorker([&] {
            return rig.transfer.createDirectory(u"New"_s, QByteArray("tiff"), std::nullopt);
        }));
        // Backslashes go as slashes.
        QVERIFY(onWorker([&] { return rig.transfer.createDirectory(u"New\\Sub"_s); }));
        QVERIFY(QFileInfo(rig.storePath(u"New/Sub"_s)).isDir());
        const QList<QJsonObject> created = rig.received(QString(requests::kCreateDirectory));
        QCOMPARE(created.size(), 2);
        QVERIFY(created[0].contains(keys::kPreviewTIFF));
        QVERIFY(!created[0].contains(keys::kHTMLSubstitute));
        QCOMPARE(created[1].value(keys::kPath).toString(), u"New/Sub"_s);
        QVERIFY(!created[1].contains(keys::kPreviewTIFF));

        QVERIFY(onWorker([&] { return rig.transfer.removeFile(u"/a.txt"_s); }));
        QVERIFY(!QFileInfo::exists(rig.storePath(u"a.txt"_s)));
        QVERIFY(!onWorker([&] { return rig.transfer.removeFile(u"/a.txt"_s); }));

        QVERIFY(onWorker([&] { return rig.transfer.requestRemoteFile(u"/Folder"_s); }));
        QVERIFY(!onWorker([&] { return rig.transfer.requestRemoteFile(u"/none"_s); }));
    }

    void notifications() {
        PhoneRig rig;
        QVERIFY(!rig.transfer.sendNotification(QString(notes::kTransferFinished)));
        QVERIFY(rig.received().isEmpty());
        QVERIFY(rig.connect());
        QVERIFY(onWorker([&] {
            return rig.transfer.sendNotification(QString(notes::kTransferFinished),
                                                 QVariantMap{{keys::kPath, u"x"_s}});
        }));
        const QList<QJsonObject> sent = rig.received(QString(requests::kNotify));
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].value(keys::kNotification).toString(), notes::kTransferFinished);
        QCOMPARE(sent[0].value(keys::kUserInfo).toObject().value(keys::kPath).toString(), u"x"_s);
    }

    // --- The phone's requests ---

    void dispatchAnswersVersionCheckAndUnknownTypes() {
        MRTransferController transfer;
        QCOMPARE(transfer.dispatchRequest({{keys::kRequestType, QString(requests::kVersionCheck)}}),
                 std::nullopt);
        const auto version = transfer.dispatchRequest(incoming(
            {{keys::kRequestType, QString(requests::kVersionCheck)}, {keys::kServerVersion, 259}}));
        QVERIFY(version);
        QCOMPARE(version->value(keys::kClientVersion).toInt(), protocol::kProtocolVersion);
        QCOMPARE(version->value(keys::kResponseNum).toInt(), 7);
        QCOMPARE(version->value(keys::kMessageType).toString(), messageTypes::kResponse);

        const auto wrongType = transfer.dispatchRequest(
            incoming({{keys::kRequestType, QString(requests::kVersionCheck)},
                      {keys::kServerVersion, u"259"_s}}));
        QVERIFY(wrongType);
        QCOMPARE(wrongType->value(keys::kSuccess), QVariant(false));
        QVERIFY(!wrongType->contains(keys::kClientVersion));

        for (const QVariantMap& fields :
             {QVariantMap{{keys::kRequestType, u"Bogus"_s}, {keys::kPath, u"/"_s}},
              QVariantMap{{keys::kPath, u"/"_s}}}) {
            const auto unknown = transfer.dispatchRequest(incoming(fields));
            QVERIFY(unknown);
            QCOMPARE(unknown->value(keys::kGood).toString(), kUnhandledAnswer);
            QCOMPARE(unknown->value(keys::kResponseNum).toInt(), 7);
        }
    }

    // The phone's notifications reach the window with who sent them; other names are refused.
    void notifyFromThePhone() {
        PhoneRig rig;
        QVERIFY(rig.connect());
        QObject context;
        std::vector<Notification> seen;
        for (QLatin1StringView name : {notes::kServerListingChanged, notes::kTransferFinished})
            NotificationCenter::defaultCenter().addObserver(
                QString(name), &context, [&](const Notification& note) { seen.push_back(note); });

        const auto accepted = rig.transfer.dispatchRequest(
            incoming({{keys::kRequestType, QString(requests::kNotify)},
                      {keys::kNotification, QString(notes::kServerListingChanged)},
                      {keys::kUserInfo, QVariantMap{{u"k"_s, 1}}}}));
        QVERIFY(accepted);
        QCOMPARE(accepted->value(keys::kSuccess), QVariant(true));
        QTRY_COMPARE_WITH_TIMEOUT(seen.size(), std::size_t(1), kWaitMs);
        QCOMPARE(seen[0].name, notes::kServerListingChanged);
        QCOMPARE(seen[0].object.value<MRTransferController*>(), &rig.transfer);
        const QVariantMap info = seen[0].userInfo.toMap();
        QVERIFY(info.value(keys::kPhoneIP).toString().startsWith(u"127.0.0.1"_s));
        QVERIFY(info.contains(keys::kDeviceName));
        QCOMPARE(info.value(keys::kNoteInfo).toMap().value(u"k"_s).toInt(), 1);

        const auto refused =
            rig.transfer.dispatchRequest(incoming({{keys::kRequestType, QString(requests::kNotify)},
                                                   {keys::kNotification, u"SomethingElse"_s}}));
        QCOMPARE(refused->value(keys::kSuccess), QVariant(false));
        const auto wrongType = rig.transfer.dispatchRequest(
            incoming({{keys::kRequestType, QString(requests::kNotify)},
                      {keys::kNotification, QString(notes::kTransferFinished)},
                      {keys::kUserInfo, u"not a dictionary"_s}}));
        QCOMPARE(wrongType->value(keys::kSuccess), QVariant(false));
        QTest::qWait(0);
        QCOMPARE(seen.size(), std::size_t(1));
    }

    // Without a peer the user info ends at the first missing value: nothing at all.
    void notifyWithoutPeerHasEmptyUserInfo() {
        PhoneRig rig;
        QObject context;
        std::optional<Notification> seen;
        NotificationCenter::defaultCenter().addObserver(
            QString(notes::kConnectionAllowed), &context,
            [&](const Notification& note) { seen = note; });
        const auto answer = rig.transfer.dispatchRequest(
            incoming({{keys::kRequestType, QString(requests::kNotify)},
                      {keys::kNotification, QString(notes::kConnectionAllowed)},
                      {keys::kUserInfo, QVariantMap{{u"k"_s, 1}}}}));
        QCOMPARE(answer->value(keys::kSuccess), QVariant(true));
        QTRY_VERIFY_WITH_TIMEOUT(seen.has_value(), kWaitMs);
        QVERIFY(seen->userInfo.toMap().isEmpty());
    }
};

QTEST_MAIN(TransferOpsTest)
#include "tst_transferops.moc"
