#include "files/FSNodeInfo.h"
#include "files/VantleUtilities.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace Qt::StringLiterals;

using namespace vantle;

namespace {

constexpr unsigned long kWorkerWaitMs = 10'000;

void touch(const QString& path) {
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class TestVantleUtilities : public QObject {
    Q_OBJECT

private slots:
    void currentLayout() {
        const QString path = u"/docs/report.pages"_s;
        QCOMPARE(VantleUtilities::metaDataPathForPath(path),
                 u"/docs/vantleMetadata/report.pages"_s);
        QCOMPARE(VantleUtilities::thumbnailPathForPath(path, false),
                 u"/docs/vantleMetadata/report.pages/Thumbnail.tif"_s);
        QCOMPARE(VantleUtilities::metaPathForPath(path, false),
                 u"/docs/vantleMetadata/report.pages/Preview"_s);
    }

    void earlierLayoutWhenNothingCurrentExists() {
        QTemporaryDir dir;
        const QString pages = dir.filePath(u"report.pages"_s);
        QCOMPARE(VantleUtilities::thumbnailPathForPath(pages, true),
                 dir.filePath(u"vantleThumbs/report.tif"_s));
        QCOMPARE(VantleUtilities::metaPathForPath(pages, true),
                 dir.filePath(u"vantleThumbs/report.zip"_s));
        QCOMPARE(VantleUtilities::metaPathForPath(dir.filePath(u"notes.txt"_s), true),
                 dir.filePath(u"vantleThumbs/notes.html"_s));
        QCOMPARE(VantleUtilities::metaPathForPath(dir.filePath(u"a.b.txt"_s), true),
                 dir.filePath(u"vantleThumbs/a.b.html"_s));
    }

    void currentLayoutWinsWhenPresent() {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"photo.jpg"_s);
        touch(dir.filePath(u"vantleThumbs/photo.tif"_s));
        QCOMPARE(VantleUtilities::thumbnailPathForPath(file, true),
                 dir.filePath(u"vantleThumbs/photo.tif"_s));
        touch(dir.filePath(u"vantleMetadata/photo.jpg/Thumbnail.tif"_s));
        QCOMPARE(VantleUtilities::thumbnailPathForPath(file, true),
                 dir.filePath(u"vantleMetadata/photo.jpg/Thumbnail.tif"_s));
        QVERIFY(QDir().mkpath(dir.filePath(u"vantleMetadata/photo.jpg/Preview"_s)));
        QCOMPARE(VantleUtilities::metaPathForPath(file, true),
                 dir.filePath(u"vantleMetadata/photo.jpg/Preview"_s));
    }

    void extensionLists_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("iWork");
        QTest::addColumn<bool>("openable");
        QTest::newRow("pages") << "/d/report.pages" << true << true;
        QTest::newRow("upper case") << "/d/REPORT.PAGES" << true << true;
        QTest::newRow("keynote") << "/d/talk.key" << true << true;
        QTest::newRow("pdf") << "/d/paper.pdf" << false << true;
        QTest::newRow("last of the list") << "/d/show.ppsx" << false << true;
        QTest::newRow("no extension") << "/d/Makefile" << false << false;
        QTest::newRow("dot file") << "/d/.txt" << false << false;
        QTest::newRow("unknown") << "/d/archive.tar" << false << false;
        QTest::newRow("dot in folder only") << "/d.pdf/file" << false << false;
    }
    void extensionLists() {
        QFETCH(QString, path);
        QFETCH(bool, iWork);
        QFETCH(bool, openable);
        QCOMPARE(VantleUtilities::isiWorkFile(path), iWork);
        QCOMPARE(VantleUtilities::isOpenableFile(path), openable);
    }

    void bundleTypes() {
        const QStringList& types = VantleUtilities::getBundleTypes();
        QCOMPARE(types.size(), 23);
        QCOMPARE(types.first(), u"app"_s);
        QCOMPARE(types.last(), u"key"_s);
        QVERIFY(types.contains(u"prefPane"_s) && !types.contains(u"prefpane"_s));
    }

    void uploadHooksKeepPathAndName() {
        QCOMPARE(FSNodeInfo::createTempFileIfNecessary(u"/a/b.txt"_s), u"/a/b.txt"_s);
        QCOMPARE(FSNodeInfo::getNameForUpload(u"b 2.txt"_s, u"/a/b.txt"_s), u"b 2.txt"_s);
        QCOMPARE(FSNodeInfo::formatDate(QDateTime::currentDateTime()), QString());
    }

    // The preview is our own image of the item's kind, drawn on whichever thread asks.
    void previewFromMainThread() {
        QTemporaryDir dir;
        touch(dir.filePath(u"doc.pdf"_s));
        const QImage preview =
            FSNodeInfo::scaledIconImageForPath(dir.filePath(u"doc.pdf"_s), false);
        QCOMPARE(preview.size(), QSize(64, 64));
        QCOMPARE(preview.devicePixelRatio(), 1.0);
    }

    void previewFromWorkerThreadAndItsTiff() {
        QTemporaryDir dir;
        touch(dir.filePath(u"cat.jpg"_s));
        QImage preview;
        QThread* worker = QThread::create([&] {
            preview = FSNodeInfo::scaledIconImageForPath(dir.filePath(u"cat.jpg"_s), false);
        });
        worker->start();
        // The main thread serves nothing meanwhile, as when it is busy quitting.
        QVERIFY(worker->wait(kWorkerWaitMs));
        delete worker;
        QCOMPARE(preview.size(), QSize(64, 64));
        QVERIFY(qAlpha(preview.pixel(32, 32)) > 0);

        const QByteArray tiff = FSNodeInfo::TIFFRepresentation(preview);
        QVERIFY(tiff.startsWith("II*") || tiff.startsWith("MM"));
        QBuffer buffer;
        buffer.setData(tiff);
        QImageReader reader(&buffer, "tiff");
        const QImage back = reader.read();
        QCOMPARE(back.size(), QSize(64, 64));
        QCOMPARE(back.convertToFormat(QImage::Format_ARGB32),
                 preview.convertToFormat(QImage::Format_ARGB32));
        QVERIFY(FSNodeInfo::TIFFRepresentation(QImage()).isEmpty());
    }

    void folderPreviewIsAFolder() {
        QTemporaryDir dir;
        const QImage preview = FSNodeInfo::scaledIconImageForPath(dir.path(), true);
        QCOMPARE(preview.size(), QSize(64, 64));
        QVERIFY(qAlpha(preview.pixel(32, 40)) > 0);
    }
};

QTEST_MAIN(TestVantleUtilities)
#include "tst_VantleUtilities.moc"
