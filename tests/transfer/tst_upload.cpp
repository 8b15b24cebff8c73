// Uploads of files, folders and packages to vantle-phone, with its faults.
#include "PhoneRig.h"
#include "files/FSNodeInfo.h"
#include "files/FileSize.h"
#include "net/TCPConnection.h"
#include "platform/NotificationCenter.h"
#include "transfer/ProgressPacer.h"
#include "transfer/ProtocolKeys.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QTest>

using namespace vantle;
using namespace vantle::test;
using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kPiece = protocol::kChunkSize;

qint64 dataLength(const QJsonObject& message, QLatin1StringView key) {
    return message.value(key).toObject().value(u"length"_s).toInteger(-1);
}

std::int32_t upload(PhoneRig& rig, const QString& local, const QString& remote) {
    rig.transfer.resetUploadOperation();
    return onWorker([&] { return rig.transfer.uploadFile(local, remote); });
}

// Whether the phone was told that an item is complete.
bool finishedSent(const PhoneRig& rig) {
    for (const QJsonObject& note : rig.received(QString(requests::kNotify)))
        if (note.value(keys::kNotification).toString() == notes::kTransferFinished) return true;
    return false;
}

} // namespace

class UploadTest : public QObject {
    Q_OBJECT

private slots:
    // Pieces of 131072 bytes; the preview rides on the last one only; an empty file goes as one
    // empty last piece, so that it arrives.
    void piecesOfAFile_data() {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QList<qint64>>("pieces");
        QTest::newRow("one full piece") << kPiece << QList<qint64>{kPiece};
        QTest::newRow("one byte more") << kPiece + 1 << QList<qint64>{kPiece, 1};
        QTest::newRow("empty") << qint64(0) << QList<qint64>{0};
    }
    void piecesOfAFile() {
        QFETCH(qint64, size);
        QFETCH(QList<qint64>, pieces);
        PhoneRig rig;
        QVERIFY(rig.connect());
        const QString local = rig.workDir.filePath(u"f.bin"_s);
        QVERIFY(writeFile(local, size));
        QCOMPARE(upload(rig, local, u"f.bin"_s), std::int32_t(protocol::kNoError));
        QCOMPARE(rig.transfer.bytesTransferred(), quint64(size));
        QCOMPARE(rig.transfer.totalBytes(), quint64(size));
        QCOMPARE(rig.transfer.currentFile(), u"f.bin"_s);

        const QList<QJsonObject> sent = rig.received(QString(requests::kSendChunk));
        QCOMPARE(sent.size(), pieces.size());
        qint64 before = 0;
        for (qsizetype i = 0; i < sent.size(); ++i) {
            const bool last = i == sent.size() - 1;
            QCOMPARE(sent[i].value(keys::kChunkNum).toInt(), int(i));
            QCOMPARE(dataLength(sent[i], keys::kChunkData), pieces[i]);
            QCOMPARE(sent[i].value(keys::kLastChunk).toBool(), last);
            QCOMPARE(sent[i].contains(keys::kPreviewTIFF), last);
            QCOMPARE(sent[i].value(keys::kTotalBytes).toInteger(), size);
            QCOMPARE(sent[i].value(keys::kCurrentBytes).toInteger(), before);
            QCOMPARE(sent[i].value(keys::kBaseFileName).toString(), u"f.bin"_s);
            before += pieces[i];
        }
        QFile arrived(rig.storePath(u"f.bin"_s));
        QVERIFY(arrived.open(QIODevice::ReadOnly));
        QCOMPARE(arrived.readAll(), patterned(size, 'a'));
        QVERIFY(finishedSent(rig));
    }

    // A fast upload must not flood the main thread with a progress note per piece; the last
    // piece's note still comes, with the bytes sent before it.
    void progressIsCoalesced() {
        constexpr qint64 kPieces = 64;
        PhoneRig rig;
        QVERIFY(rig.connect());
        QObject context;
        std::vector<QVariantList> seen;
        NotificationCenter::defaultCenter().addObserver(
            QString(notes::kUploadProgress), &context,
            [&](const Notification& note) { seen.push_back(note.userInfo.toList()); });
        const QString local = rig.workDir.filePath(u"big.bin"_s);
        QVERIFY(writeFile(local, kPieces * kPiece));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(upload(rig, local, u"big.bin"_s), std::int32_t(protocol::kNoError));
        // One note per interval that passed, the first and the last: a slow machine gets more.
        const qint64 allowed = clock.elapsed() / kProgressInterval.count() + 2;
        QCOMPARE(rig.received(QString(requests::kSendChunk)).size(), kPieces);
        QTRY_VERIFY_WITH_TIMEOUT(
            !seen.empty() && seen.back().value(1).toLongLong() == (kPieces - 1) * kPiece, kWaitMs);
        QVERIFY2(qint64(seen.size()) <= allowed,
                 qPrintable(u"%1 notes, %2 allowed"_s.arg(seen.size()).arg(allowed)));
        QCOMPARE(seen.back().value(0).toLongLong(), kPieces * kPiece);
    }

    // Every piece of a folder counts against the whole folder; companion files stay home.
    void folderCounts() {
        PhoneRig rig;
        QVERIFY(rig.connect());
        const QString folder = rig.workDir.filePath(u"Dir"_s);
        QVERIFY(QDir().mkpath(folder + u"/vantleThumbs"_s));
        QVERIFY(writeFile(folder + u"/a.bin"_s, kPiece + 1));
        QVERIFY(writeFile(folder + u"/b.bin"_s, 5));
        QVERIFY(writeFile(folder + u"/.DS_Store"_s, 3));
        QVERIFY(writeFile(folder + u"/vantleThumbs/t.tif"_s, 7));
        const qint64 total = qint64(getSizeOfFileInBytes(folder));

        QCOMPARE(upload(rig, folder, u"Dir"_s), std::int32_t(protocol::kNoError));
        const QList<QJsonObject> sent = rig.received(QString(requests::kSendChunk));
        QCOMPARE(sent.size(), 3);
        QCOMPARE(sent[0].value(keys::kPath).toString(), u"Dir/a.bin"_s);
        QCOMPARE(sent[2].value(keys::kPath).toString(), u"Dir/b.bin"_s);
        QCOMPARE(sent[2].value(keys::kCurrentBytes).toInteger(), kPiece + 1);
        for (const QJsonObject& piece : sent) {
            QCOMPARE(piece.value(keys::kTotalBytes).toInteger(), total);
            QCOMPARE(piece.value(keys::kBaseFileName).toString(), u"Dir"_s);
        }
        QCOMPARE(rig.transfer.bytesTransferred(), quint64(kPiece + 6));
        QVERIFY(QFileInfo(rig.storePath(u"Dir/b.bin"_s)).isFile());
        QVERIFY(!QFileInfo::exists(rig.storePath(u"Dir/vantleThumbs"_s)));
        QVERIFY(!QFileInfo::exists(rig.storePath(u"Dir/.DS_Store"_s)));
    }

    // A rich-text package is one document on the phone: a folder with a preview and HTML.
    void richTextPackage() {
        PhoneRig rig;
        QVERIFY(rig.connect());
        const QString package = rig.workDir.filePath(u"Notes.rtfd"_s);
        QVERIFY(QDir().mkpath(package));
        QFile rtf(package + u"/TXT.rtf"_s);
        QVERIFY(rtf.open(QIODevice::WriteOnly));
        rtf.write("{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}\\f0\\fs24 Hello package}");
        rtf.close();

        QCOMPARE(upload(rig, package, u"Notes.rtfd"_s), std::int32_t(protocol::kNoError));
        const QList<QJsonObject> folders = rig.received(QString(requests::kCreateDirectory));
        QCOMPARE(folders.size(), 1);
        QVERIFY(dataLength(folders[0], keys::kPreviewTIFF) > 0);
        QVERIFY(dataLength(folders[0], keys::kHTMLSubstitute) > 0);
        const QList<QJsonObject> sent = rig.received(QString(requests::kSendChunk));
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].value(keys::kPath).toString(), u"Notes.rtfd/TXT.rtf"_s);
        QVERIFY(dataLength(sent[0], keys::kHTMLSubstitute) > 0);
    }

    // A name taken on the phone ends the item before anything is sent, unless the user asked
    // for a unique name.
    void nameExists() {
        PhoneRig rig;
        QVERIFY(writeFile(rig.storePath(u"taken.bin"_s), 3));
        QVERIFY(rig.connect());
        const QString local = rig.workDir.filePath(u"taken.bin"_s);
        QVERIFY(writeFile(local, 10));
        const std::shared_ptr<FSNodeInfo> node = FSNodeInfo::nodeWithPath(local, u"now"_s);
        QVERIFY(node);
        QCOMPARE(upload(rig, local, u"taken.bin"_s), std::int32_t(protocol::kNameExists));
        QVERIFY(rig.received(QString(requests::kSendChunk)).isEmpty());
        QVERIFY(!finishedSent(rig));

        node->setMakeUnique(true);
        QCOMPARE(upload(rig, local, u"taken.bin"_s), std::int32_t(protocol::kNoError));
        QCOMPARE(rig.received(QString(requests::kSendChunk)).size(), 1);
    }

    // A cancel lets the piece in flight finish; the next item after a reset goes normally.
    void cancelAtAPieceBoundary() {
        PhoneRig rig({u"--delay-ms"_s, u"300"_s});
        QVERIFY(rig.connect());
        const QString local = rig.workDir.filePath(u"big.bin"_s);
        QVERIFY(writeFile(local, 4 * kPiece));
        UploadThread worker(rig.transfer, local, u"big.bin"_s);
        const bool firstPiece = QTest::qWaitFor(
            [&] { return !rig.received(QString(requests::kSendChunk)).isEmpty(); }, kWaitMs);
        rig.transfer.cancelUploadOperation();
        QVERIFY(worker.finish());
        QVERIFY(firstPiece);
        QCOMPARE(worker.result.load(), std::int32_t(protocol::kCancelled));
        QCOMPARE(rig.transfer.bytesTransferred(), quint64(kPiece));
        QCOMPARE(rig.received(QString(requests::kSendChunk)).size(), 1);
        QVERIFY(!finishedSent(rig));

        const QString next = rig.workDir.filePath(u"next.bin"_s);
        QVERIFY(writeFile(next, 10));
        QCOMPARE(upload(rig, next, u"next.bin"_s), std::int32_t(protocol::kNoError));
        QVERIFY(QFileInfo(rig.storePath(u"next.bin"_s)).isFile());
    }

    // A file that shrinks while it is sent is not reported as arrived.
    void fileThatShrinks() {
        PhoneRig rig({u"--delay-ms"_s, u"300"_s});
        QVERIFY(rig.connect());
        const QString local = rig.workDir.filePath(u"shrinks.bin"_s);
        QVERIFY(writeFile(local, 2 * kPiece + 1));
        UploadThread worker(rig.transfer, local, u"shrinks.bin"_s);
        // The phone holds its answer to the first piece while the file loses its tail.
        const bool firstPiece = QTest::qWaitFor(
            [&] { return !rig.received(QString(requests::kSendChunk)).isEmpty(); }, kWaitMs);
        const bool truncated = QFile::resize(local, kPiece);
        QVERIFY(worker.finish());
        QVERIFY(firstPiece);
        QVERIFY(truncated);
        QCOMPARE(worker.result.load(), std::int32_t(protocol::kCannotOpenFile));
        const QList<QJsonObject> sent = rig.received(QString(requests::kSendChunk));
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].value(keys::kLastChunk).toBool(), false);
        QVERIFY(!finishedSent(rig));
    }

    void unreadableFile() {
        PhoneRig rig;
        QVERIFY(rig.connect());
        const QString local = rig.workDir.filePath(u"locked.bin"_s);
        QVERIFY(writeFile(local, 10));
        QVERIFY(QFile::setPermissions(local, QFileDevice::Permissions()));
        if (QFile(local).open(QIODevice::ReadOnly)) QSKIP("running with rights to read anything");
        QCOMPARE(upload(rig, local, u"locked.bin"_s), std::int32_t(protocol::kCannotOpenFile));
        QVERIFY(rig.received(QString(requests::kSendChunk)).isEmpty());
    }

    // --- Faults of the phone ---

    void failedPieces_data() {
        QTest::addColumn<QStringList>("phoneArguments");
        QTest::addColumn<QString>("remote");
        QTest::addColumn<int>("code");
        QTest::newRow("with a code") << QStringList{u"--fail-chunk"_s, u"2=-555"_s} << u"f.bin"_s
                                     << int(protocol::kNameTooLong);
        QTest::newRow("with code 0") << QStringList{u"--fail-chunk"_s, u"2=0"_s} << u"f.bin"_s
                                     << int(protocol::kPieceFailedWithoutCode);
        QTest::newRow("without a code")
            << QStringList() << u"../outside.bin"_s << int(protocol::kFailedWithoutCode);
        QTest::newRow("answer withheld") << QStringList{u"--withhold"_s, u"SendChunk:2"_s}
                                         << u"f.bin"_s << int(protocol::kNoAnswer);
        QTest::newRow("answer numbered higher")
            << QStringList{u"--response-num"_s, u"SendChunk:2=+1"_s} << u"f.bin"_s
            << int(protocol::kNoAnswer);
        QTest::newRow("answer without number")
            << QStringList{u"--response-num"_s, u"SendChunk:2=none"_s} << u"f.bin"_s
            << int(protocol::kNoAnswer);
        QTest::newRow("connection dropped") << QStringList{u"--drop-after-chunks"_s, u"1"_s}
                                            << u"f.bin"_s << int(protocol::kNoAnswer);
    }
    void failedPieces() {
        QFETCH(QStringList, phoneArguments);
        QFETCH(QString, remote);
        PhoneRig rig(phoneArguments);
        QVERIFY(rig.connect());
        const QString local = rig.workDir.filePath(u"f.bin"_s);
        QVERIFY(writeFile(local, 2 * kPiece + 1));
        QTEST(int(upload(rig, local, remote)), "code");
        QVERIFY2(!finishedSent(rig), qPrintable(rig.phoneOutput()));
        for (const QJsonObject& piece : rig.received(QString(requests::kSendChunk)))
            QCOMPARE(piece.value(keys::kChunkNum).toInt() < 2, true);
        QVERIFY(rig.transfer.bytesTransferred() < quint64(2 * kPiece));
    }

    // The phone is given up on once it does not answer; the time-out is the worker's.
    void withheldAnswerDisconnects() {
        PhoneRig rig({u"--withhold"_s, u"SendChunk:1"_s});
        QVERIFY(rig.connect());
        const QString local = rig.workDir.filePath(u"f.bin"_s);
        QVERIFY(writeFile(local, 10));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(upload(rig, local, u"f.bin"_s), std::int32_t(protocol::kNoAnswer));
        QVERIFY(timer.elapsed() >= quickTimeouts().workerResponse.count());
        QTRY_VERIFY_WITH_TIMEOUT(!rig.controller.connected(), kWaitMs);
        QCOMPARE(rig.transfer.bytesTransferred(), quint64(0));
    }

    // A phone that stops reading is given up on; the upload neither hangs nor reports the file
    // as arrived.
    void phoneThatStopsReading() {
        PhoneRig rig({u"--stop-reading-after"_s, QString::number(2 * kPiece + kPiece / 2)});
        QVERIFY(rig.connect());
        const QString local = rig.workDir.filePath(u"f.bin"_s);
        QVERIFY(writeFile(local, 8 * kPiece));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(upload(rig, local, u"f.bin"_s), std::int32_t(protocol::kNoAnswer));
        QVERIFY(timer.elapsed() < TCPConnection::kWriteStallLimit.count());
        QTRY_VERIFY_WITH_TIMEOUT(!rig.controller.connected(), kWaitMs);
        QCOMPARE(rig.transfer.bytesTransferred(), quint64(2 * kPiece));
        QVERIFY(!finishedSent(rig));
    }

    // Stray payloads and a late copy of an answer leave the upload alone.
    void garbageAndLateDuplicates() {
        PhoneRig rig({u"--garbage"_s, u"--late-response=SendChunk:1"_s});
        QVERIFY(rig.connect());
        const QString local = rig.workDir.filePath(u"f.bin"_s);
        QVERIFY(writeFile(local, 3 * kPiece));
        QCOMPARE(upload(rig, local, u"f.bin"_s), std::int32_t(protocol::kNoError));
        QCOMPARE(QFileInfo(rig.storePath(u"f.bin"_s)).size(), 3 * kPiece);
    }
};

QTEST_MAIN(UploadTest)
#include "tst_upload.moc"
