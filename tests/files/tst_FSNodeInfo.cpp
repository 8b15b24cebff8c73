#include "files/FSNodeInfo.h"
#include "files/FileSize.h"
#include "files/NamedImages.h"
#include "platform/NotificationCenter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

using namespace vantle;

namespace {

// How long a second size computation, if one were started, would take to notify.
constexpr int kSecondNotificationWindowMs = 50;
constexpr int kStopLimitMs = 5000;

void writeFile(const QString& path, qsizetype bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(bytes, 'x'));
}

qint64 folderEntrySize(const QString& path) {
    return QFileInfo(path).size();
}

} // namespace

class TestFSNodeInfo : public QObject {
    Q_OBJECT

private slots:
    void sizeTexts_data() {
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << quint64(0) << "0 Bytes";
        QTest::newRow("below a kilobyte") << quint64(1023) << "1023 Bytes";
        QTest::newRow("one kilobyte") << quint64(1024) << "1 KB";
        QTest::newRow("just below a megabyte") << quint64(1048575) << "1023 KB";
        QTest::newRow("one megabyte") << quint64(1048576) << "1 MB";
        QTest::newRow("1125 KB") << quint64(1152000) << "1 MB";
        QTest::newRow("1126 KB") << quint64(1153024) << "1.1 MB";
        QTest::newRow("1536 KB") << quint64(1572864) << "1.5 MB";
        QTest::newRow("2047 KB rounds up") << quint64(2096128) << "2 MB";
        QTest::newRow("no unit above MB") << quint64(10) * 1024 * 1024 * 1024 << "10240 MB";
        QTest::newRow("beyond 32 bits of MB")
            << (quint64(1) << 62) << QString::number(quint64(1) << 42) + u" MB"_s;
    }
    void sizeTexts() {
        QFETCH(quint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(FSNodeInfo::getSizeText(bytes), text);
    }

    void oneSharedNodePerPath() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"a.txt"_s);
        writeFile(path, 10);
        QVERIFY(!FSNodeInfo::nodeWithPath(path, std::nullopt)); // lookups never create
        auto first = FSNodeInfo::nodeWithPath(path, QStringLiteral("2024-01-01"));
        QVERIFY(first);
        first->setReplace(true);
        first->setMakeUnique(true);
        first->setUploading(true);
        QCOMPARE(FSNodeInfo::nodeWithPath(path, std::nullopt), first);
        QVERIFY(first->replace() && first->makeUnique() && first->uploading());
        QCOMPARE(first->copy(), first);

        auto again = FSNodeInfo::nodeWithPath(path, QStringLiteral("2024-02-02"));
        QCOMPARE(again, first);
        QVERIFY(!again->replace() && !again->makeUnique() && !again->uploading());
        QCOMPARE(again->dateAdded(), QStringLiteral("2024-02-02"));
        QCOMPARE(first->lastPathComponent(), QStringLiteral("a.txt"));
        QCOMPARE(first->sizeString(), QStringLiteral("10 Bytes"));
    }

    void missingPathsMakeNoNode() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"gone.txt"_s);
        QVERIFY(!FSNodeInfo::nodeWithPath(path, QStringLiteral("d")));
        writeFile(path, 1);
        QVERIFY(!FSNodeInfo::nodeWithPath(path, std::nullopt)); // nothing was cached
        QVERIFY(FSNodeInfo::nodeWithPath(path, QStringLiteral("d")));
    }

    void queueOrder() {
        QTemporaryDir dir;
        writeFile(dir.filePath(u"a"_s), 1);
        writeFile(dir.filePath(u"b"_s), 1);
        auto a = FSNodeInfo::nodeWithPath(dir.filePath(u"a"_s), QStringLiteral("2024-05-01"));
        auto b = FSNodeInfo::nodeWithPath(dir.filePath(u"b"_s), QStringLiteral("2024-04-01"));
        QCOMPARE(a->byDate(*b), 1);
        QCOMPARE(b->byDate(*a), -1);
        QCOMPARE(a->byDate(*a), 0);
        b->setDateAdded(QStringLiteral("2024-05-01"));
        QCOMPARE(a->byDate(*b), -1); // equal dates: by path
    }

    // Bundles count as files but are measured in the background like folders; one computation
    // per node however often the row is drawn meanwhile.
    void folderAndBundleSizesInBackground_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("bundle");
        QTest::newRow("folder") << "plain" << false;
        QTest::newRow("app bundle") << "Tool.app" << true;
        QTest::newRow("rtfd bundle") << "Notes.rtfd" << true;
        QTest::newRow("bundle types are case-sensitive") << "Tool.APP" << false;
    }
    void folderAndBundleSizesInBackground() {
        QFETCH(QString, name);
        QFETCH(bool, bundle);
        QTemporaryDir dir;
        const QString folder = dir.filePath(name);
        QVERIFY(QDir().mkpath(folder + u"/inner"_s));
        writeFile(folder + u"/one"_s, 3000);
        writeFile(folder + u"/inner/two"_s, 2000);
        // What an upload of it sends: the files' bytes.
        const quint64 expected = 5000;

        auto node = FSNodeInfo::nodeWithPath(folder, QStringLiteral("d"));
        QVERIFY(node);
        QCOMPARE(node->isBundle(), bundle);
        QCOMPARE(node->isDirectory(), !bundle);

        int notifications = 0;
        QObject context;
        NotificationCenter::defaultCenter().addObserver(
            FSNodeInfo::kInfoChangedNotification, &context, [&](const Notification& n) {
                if (n.object.canConvert<FSNodeInfoPtr>() && n.object.value<FSNodeInfoPtr>() == node)
                    ++notifications;
            });
        QCOMPARE(node->sizeString(), QStringLiteral("..."));
        QCOMPARE(node->sizeString(), QStringLiteral("..."));
        QTRY_COMPARE(notifications, 1);
        QCOMPARE(node->sizeString(), FSNodeInfo::getSizeText(expected));
        // Nothing marks the absence of a second computation; it would have notified by then.
        QTest::qWait(kSecondNotificationWindowMs);
        QCOMPARE(notifications, 1);
    }

    void sizeCountsLinksNotTargets() {
        QTemporaryDir dir;
        const QString root = dir.filePath(u"root"_s);
        QVERIFY(QDir().mkpath(root + u"/sub/deeper"_s));
        writeFile(root + u"/sub/deeper/file"_s, 777);
        writeFile(dir.filePath(u"big"_s), 100000);
        QVERIFY(QFile::link(dir.filePath(u"big"_s), root + u"/linkToBig"_s));
        QVERIFY(QFile::link(dir.path(), root + u"/linkToFolder"_s));
        // A link's own size is the length of the path it holds.
        const quint64 linkSizes =
            quint64(dir.filePath(u"big"_s).toUtf8().size() + dir.path().toUtf8().size());
        const quint64 folders =
            folderEntrySize(root + u"/sub"_s) + folderEntrySize(root + u"/sub/deeper"_s);
        QCOMPARE(getSizeOfFileInBytes(root), 777 + folders + linkSizes);
        QCOMPARE(getSizeOfFileInBytes(root + u"/sub/deeper/file"_s), quint64(777));
        QCOMPARE(getSizeOfFileInBytes(root + u"/linkToBig"_s),
                 quint64(dir.filePath(u"big"_s).toUtf8().size()));
        QCOMPARE(getSizeOfFileInBytes(dir.filePath(u"nothing"_s)), quint64(0));

        auto link = FSNodeInfo::nodeWithPath(root + u"/linkToBig"_s, QStringLiteral("d"));
        QVERIFY(link && link->isLink() && !link->isDirectory());
    }

    // What an upload sends, the size its row shows: files, and files that links lead to; not the
    // folders' own entries, not links to folders inside, nor pipes, nor the companion folders.
    void uploadSizes_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<quint64>("bytes");
        QTest::newRow("folder") << u"root"_s << quint64(777 + 100000);
        QTest::newRow("file") << u"root/sub/deeper/file"_s << quint64(777);
        QTest::newRow("link to a file") << u"root/linkToBig"_s << quint64(100000);
        QTest::newRow("link to a folder") << u"linkToRoot"_s << quint64(777 + 100000);
        QTest::newRow("pipe") << u"root/pipe"_s << quint64(0);
        QTest::newRow("missing") << u"nothing"_s << quint64(0);
    }
    void uploadSizes() {
        QFETCH(QString, path);
        QFETCH(quint64, bytes);
        QTemporaryDir dir;
        const QString root = dir.filePath(u"root"_s);
        QVERIFY(QDir().mkpath(root + u"/sub/deeper"_s));
        QVERIFY(QDir().mkpath(root + u"/vantleThumbs"_s));
        writeFile(root + u"/sub/deeper/file"_s, 777);
        writeFile(root + u"/vantleThumbs/t.tif"_s, 55);
        writeFile(dir.filePath(u"big"_s), 100000);
        QVERIFY(QFile::link(dir.filePath(u"big"_s), root + u"/linkToBig"_s));
        QVERIFY(QFile::link(dir.path(), root + u"/linkToFolder"_s));
        QVERIFY(QFile::link(root, dir.filePath(u"linkToRoot"_s)));
        QCOMPARE(::mkfifo(QFile::encodeName(root + u"/pipe"_s).constData(), 0600), 0);

        QCOMPARE(uploadSizeOfPath(dir.filePath(path)), bytes);
        if (bytes == 0) return;
        auto node = FSNodeInfo::nodeWithPath(dir.filePath(path), QStringLiteral("d"));
        QVERIFY(node);
        QTRY_COMPARE(node->sizeString(), FSNodeInfo::getSizeText(bytes));
    }

    // What a queue row shows at once: our own artwork by type.
    void genericIcons_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("image");
        QTest::newRow("folder") << "Photos" << true << "iconfolder";
        QTest::newRow("pdf") << "paper.pdf" << false << "iconpdf";
        QTest::newRow("jpeg") << "cat.jpeg" << false << "iconjpg";
        QTest::newRow("Jpeg is upper-cased first") << "cat.Jpeg" << false << "iconjpg";
        QTest::newRow("jpg") << "cat.JPG" << false << "iconjpg";
        QTest::newRow("doc") << "letter.doc" << false << "icondoc";
        QTest::newRow("rtf") << "story.rtf" << false << "iconrtf";
        QTest::newRow("txt") << "notes.txt" << false << "icontxt";
        QTest::newRow("unknown") << "data.bin" << false << "iconblank";
        QTest::newRow("no extension") << "README" << false << "iconblank";
        QTest::newRow("application folder") << "Tool.app" << true << "iconblank";
    }
    void genericIcons() {
        QFETCH(QString, name);
        QFETCH(bool, folder);
        QFETCH(QString, image);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (folder)
            QVERIFY(QDir().mkpath(path));
        else
            writeFile(path, 1);
        auto node = FSNodeInfo::nodeWithPath(path, QStringLiteral("d"));
        QVERIFY(node);
        const QImage icon = node->iconImage();
        QCOMPARE(icon.deviceIndependentSize(), QSizeF(32, 32));
        QCOMPARE(icon.devicePixelRatio(), 2.0);
        QCOMPARE(icon, NamedImages::imageNamed(image));
    }

    void iconsAreDistinctAndDrawn() {
        const QStringList names = {u"iconblank"_s, u"iconfolder"_s, u"icondoc"_s, u"iconjpg"_s,
                                   u"iconpdf"_s,   u"iconrtf"_s,    u"icontxt"_s};
        QList<QImage> seen;
        for (const QString& name : names) {
            const QImage image = NamedImages::imageNamed(name);
            QVERIFY2(!image.isNull(), qPrintable(name));
            int opaque = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qAlpha(image.pixel(x, y)) == 255) ++opaque;
            QVERIFY2(opaque > image.width() * image.height() / 4, qPrintable(name));
            QVERIFY2(!seen.contains(image), qPrintable(name));
            seen << image;
        }
        QVERIFY(NamedImages::imageNamed(u"no such icon"_s).isNull());
    }

    // The file's own icon replaces the generic one on a later turn of the main loop.
    void ownIconArrivesLater() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"later.pdf"_s);
        writeFile(path, 1);
        QList<QImage> delivered;
        QObject context;
        NotificationCenter::defaultCenter().addObserver(
            FSNodeInfo::kInfoChangedNotification, &context, [&](const Notification& n) {
                if (n.object.canConvert<QImage>()) delivered << n.object.value<QImage>();
            });
        auto node = FSNodeInfo::nodeWithPath(path, QStringLiteral("d"));
        QVERIFY(delivered.isEmpty());
        // Nodes of earlier cases may still be handed their icons meanwhile: this node's is awaited.
        QTRY_VERIFY(!node->iconImage().isNull() && delivered.contains(node->iconImage()));
        const QImage own = node->iconImage();
        QCOMPARE(own.deviceIndependentSize(), QSizeF(32, 32));
        bool drawn = false;
        for (int y = 0; y < own.height() && !drawn; ++y)
            for (int x = 0; x < own.width() && !drawn; ++x)
                drawn = qAlpha(own.pixel(x, y)) != 0;
        QVERIFY(drawn);
    }

    // Last, as it is the end of the program: the measuring of folders stops within its limit,
    // what was measured is not handed in any more, and no folder is measured after.
    void folderSizesStopAtTheEnd() {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath(u"early"_s)));
        QVERIFY(QDir().mkpath(dir.filePath(u"late"_s)));
        auto early = FSNodeInfo::nodeWithPath(dir.filePath(u"early"_s), QStringLiteral("d"));
        QCOMPARE(early->sizeString(), QStringLiteral("..."));
        QVERIFY(FSNodeInfo::stopFolderSizes(std::chrono::milliseconds(kStopLimitMs)));
        auto late = FSNodeInfo::nodeWithPath(dir.filePath(u"late"_s), QStringLiteral("d"));
        QCOMPARE(late->sizeString(), QStringLiteral("..."));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(early->sizeString(), QStringLiteral("..."));
        QCOMPARE(late->sizeString(), QStringLiteral("..."));
    }
};

QTEST_MAIN(TestFSNodeInfo)
#include "tst_FSNodeInfo.moc"
