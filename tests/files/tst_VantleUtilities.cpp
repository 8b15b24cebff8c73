#include "files/FSNodeInfo.h"
#include "files/VantleUtilities.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace vantle;

namespace {

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
        const QString path = "/docs/report.pages";
        QCOMPARE(VantleUtilities::metaDataPathForPath(path), "/docs/vantleMetadata/report.pages");
        QCOMPARE(VantleUtilities::thumbnailPathForPath(path, false),
                 "/docs/vantleMetadata/report.pages/Thumbnail.tif");
        QCOMPARE(VantleUtilities::metaPathForPath(path, false),
                 "/docs/vantleMetadata/report.pages/Preview");
    }

    void earlierLayoutWhenNothingCurrentExists() {
        QTemporaryDir dir;
        const QString pages = dir.filePath("report.pages");
        QCOMPARE(VantleUtilities::thumbnailPathForPath(pages, true),
                 dir.filePath("vantleThumbs/report.tif"));
        QCOMPARE(VantleUtilities::metaPathForPath(pages, true),
                 dir.filePath("vantleThumbs/report.zip"));
        QCOMPARE(VantleUtilities::metaPathForPath(dir.filePath("notes.txt"), true),
                 dir.filePath("vantleThumbs/notes.html"));
        QCOMPARE(VantleUtilities::metaPathForPath(dir.filePath("a.b.txt"), true),
                 dir.filePath("vantleThumbs/a.b.html"));
    }

    void currentLayoutWinsWhenPresent() {
        QTemporaryDir dir;
        const QString file = dir.filePath("photo.jpg");
        touch(dir.filePath("vantleThumbs/photo.tif"));
        QCOMPARE(VantleUtilities::thumbnailPathForPath(file, true),
                 dir.filePath("vantleThumbs/photo.tif"));
        touch(dir.filePath("vantleMetadata/photo.jpg/Thumbnail.tif"));
        QCOMPARE(VantleUtilities::thumbnailPathForPath(file, true),
                 dir.filePath("vantleMetadata/photo.jpg/Thumbnail.tif"));
        QVERIFY(QDir().mkpath(dir.filePath("vantleMetadata/photo.jpg/Preview")));
        QCOMPARE(VantleUtilities::metaPathForPath(file, true),
                 dir.filePath("vantleMetadata/photo.jpg/Preview"));
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
        QCOMPARE(types.first(), "app");
        QCOMPARE(types.last(), "key");
        QVERIFY(types.contains("prefPane") && !types.contains("prefpane"));
    }

    void uploadHooksKeepPathAndName() {
        QCOMPARE(FSNodeInfo::createTempFileIfNecessary("/a/b.txt"), "/a/b.txt");
        QCOMPARE(FSNodeInfo::getNameForUpload("b 2.txt", "/a/b.txt"), "b 2.txt");
        QCOMPARE(FSNodeInfo::formatDate(QDateTime::currentDateTime()), QString());
    }

    // The preview is drawn on the main thread: directly when asked there, and while a worker
    // waits when asked from the upload thread.
    void previewFromMainThread() {
        QTemporaryDir dir;
        touch(dir.filePath("doc.pdf"));
        const QImage preview = FSNodeInfo::scaledIconImageForPath(dir.filePath("doc.pdf"), false);
        QCOMPARE(preview.size(), QSize(64, 64));
        QCOMPARE(preview.devicePixelRatio(), 1.0);
    }

    void previewFromWorkerThreadAndItsTiff() {
        QTemporaryDir dir;
        touch(dir.filePath("cat.jpg"));
        QImage preview;
        QThread* worker = QThread::create(
            [&] { preview = FSNodeInfo::scaledIconImageForPath(dir.filePath("cat.jpg"), false); });
        worker->start();
        QTRY_VERIFY(worker->isFinished());
        delete worker;
        QCOMPARE(preview.size(), QSize(64, 64));

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
