// Uploads of files, folders and packages to vantle-phone, with its faults.
#include "PhoneRig.h"
#include "files/FSNodeInfo.h"
#include "files/FileSize.h"
#include "net/TCPConnection.h"
#include "platform/NotificationCenter.h"
#include "transfer/ProgressPacer.h"
#include "transfer/ProtocolKeys.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QTest>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

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

// Waits until the phone has received a request of `type` (whose answer it may be holding).
bool receivedA(const PhoneRig& rig, const QString& type) {
    return QTest::qWaitFor([&] { return !rig.received(type).isEmpty(); }, kWaitMs);
}

// Relative path → size of every file in the phone's store.
using StoredFiles = QMap<QString, qint64>;

StoredFiles storedFiles(const PhoneRig& rig) {
    StoredFiles files;
    const QDir store(rig.storePath());
    QDirIterator it(rig.storePath(), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(store.relativeFilePath(path), QFileInfo(path).size());
    }
    return files;
}

qint64 sumOf(const StoredFiles& files) {
    qint64 total = 0;
    for (const qint64 size : files)
        total += size;
    return total;
}

bool makeFifo(const QString& path) {
    return ::mkfifo(QFile::encodeName(path).constData(), S_IRUSR | S_IWUSR) == 0;
}

// A socket file, as a local server leaves it; nobody listens on it.
bool makeSocketFile(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    if (native.size() >= qsizetype(sizeof(address.sun_path))) {
        ::close(fd);
        return false;
    }
    std::copy(native.begin(), native.end(), address.sun_path);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

// Lets a reader blocked in opening `fifo` go on (it then reads an empty pipe).
void releaseReaderOf(const QString& fifo) {
    const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) ::close(fd);
}

// How long an upload that must not wait for anything may take before the test says it hangs.
constexpr int kNoHangMs = 10'000;

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
        // What goes: the files' bytes, so that the progress ends at the total.
        const qint64 total = kPiece + 6;

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
        QCOMPARE(rig.transfer.bytesTransferred(), quint64(total));
        QCOMPARE(rig.transfer.totalBytes(), quint64(total));
        QVERIFY(QFileInfo(rig.storePath(u"Dir/b.bin"_s)).isFile());
        QVERIFY(!QFileInfo::exists(rig.storePath(u"Dir/vantleThumbs"_s)));
        QVERIFY(!QFileInfo::exists(rig.storePath(u"Dir/.DS_Store"_s)));
    }

    // A link to a file sends the whole file it leads to; a queued link to a folder sends the
    // folder; links to folders inside a folder stay home (one to the folder itself would nest
    // copies without end). One size serves the total, every piece and the progress.
    void linksSendWhatTheyLeadTo_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<StoredFiles>("arrived");
        QTest::newRow("queued link to a file")
            << u"toBig.bin"_s << StoredFiles{{u"toBig.bin"_s, 300'000}};
        QTest::newRow("queued link to a folder")
            << u"toReal"_s << StoredFiles{{u"toReal/a.bin"_s, 10}, {u"toReal/sub/b.bin"_s, 5}};
        QTest::newRow("links inside a folder")
            << u"Dir"_s << StoredFiles{{u"Dir/own.bin"_s, 7}, {u"Dir/toBig.bin"_s, 300'000}};
    }
    void linksSendWhatTheyLeadTo() {
        QFETCH(QString, item);
        QFETCH(StoredFiles, arrived);
        PhoneRig rig;
        QVERIFY(rig.connect());
        const QDir work(rig.workDir.path());
        QVERIFY(writeFile(work.filePath(u"big.bin"_s), 300'000));
        QVERIFY(work.mkpath(u"Real/sub"_s));
        QVERIFY(writeFile(work.filePath(u"Real/a.bin"_s), 10));
        QVERIFY(writeFile(work.filePath(u"Real/sub/b.bin"_s), 5));
        QVERIFY(QFile::link(work.filePath(u"big.bin"_s), work.filePath(u"toBig.bin"_s)));
        QVERIFY(QFile::link(work.filePath(u"Real"_s), work.filePath(u"toReal"_s)));
        QVERIFY(work.mkpath(u"Dir"_s));
        QVERIFY(writeFile(work.filePath(u"Dir/own.bin"_s), 7));
        QVERIFY(QFile::link(work.filePath(u"big.bin"_s), work.filePath(u"Dir/toBig.bin"_s)));
        QVERIFY(QFile::link(work.filePath(u"Real"_s), work.filePath(u"Dir/toReal"_s)));
        QVERIFY(QFile::link(work.filePath(u"Dir"_s), work.filePath(u"Dir/loop"_s)));

        QCOMPARE(upload(rig, work.filePath(item), item), std::int32_t(protocol::kNoError));
        QCOMPARE(storedFiles(rig), arrived);
        const qint64 total = sumOf(arrived);
        QCOMPARE(rig.transfer.totalBytes(), quint64(total));
        QCOMPARE(rig.transfer.bytesTransferred(), quint64(total));
        for (const QJsonObject& piece : rig.received(QString(requests::kSendChunk)))
            QCOMPARE(piece.value(keys::kTotalBytes).toInteger(), total);
        for (auto it = arrived.cbegin(); it != arrived.cend(); ++it) {
            QFile file(rig.storePath(it.key()));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), patterned(it.value(), 'a'));
        }
        // The queue row tells the same size.
        const auto row = FSNodeInfo::nodeWithPath(work.filePath(item), u"now"_s);
        QVERIFY(row);
        QTRY_COMPARE(row->sizeString(), FSNodeInfo::getSizeText(quint64(total)));
    }

    // Only files and folders are read: a pipe would hold the upload (and Stop, and Quit) for
    // ever, a device is no document. Queued, it fails the item; inside a folder it stays home.
    void pipesSocketsAndDevices_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("code");
        QTest::addColumn<StoredFiles>("arrived");
        QTest::newRow("queued pipe")
            << u"pipe"_s << int(protocol::kCannotOpenFile) << StoredFiles{};
        QTest::newRow("queued socket")
            << u"socket"_s << int(protocol::kCannotOpenFile) << StoredFiles{};
        QTest::newRow("queued device")
            << u"device"_s << int(protocol::kCannotOpenFile) << StoredFiles{};
        QTest::newRow("inside a folder")
            << u"Dir"_s << int(protocol::kNoError) << StoredFiles{{u"Dir/a.bin"_s, 5}};
    }
    void pipesSocketsAndDevices() {
        QFETCH(QString, item);
        QFETCH(StoredFiles, arrived);
        PhoneRig rig;
        QVERIFY(rig.connect());
        const QDir work(rig.workDir.path());
        QVERIFY(makeFifo(work.filePath(u"pipe"_s)));
        QVERIFY(makeSocketFile(work.filePath(u"socket"_s)));
        QVERIFY(QFile::link(u"/dev/null"_s, work.filePath(u"device"_s)));
        QVERIFY(work.mkpath(u"Dir"_s));
        QVERIFY(writeFile(work.filePath(u"Dir/a.bin"_s), 5));
        QVERIFY(makeFifo(work.filePath(u"Dir/pipe"_s)));
        QVERIFY(makeSocketFile(work.filePath(u"Dir/socket"_s)));
        QVERIFY(QFile::link(u"/dev/null"_s, work.filePath(u"Dir/device"_s)));

        UploadThread worker(rig.transfer, work.filePath(item), item);
        const bool ended = worker.finish(kNoHangMs);
        if (!ended) {
            releaseReaderOf(work.filePath(u"pipe"_s));
            releaseReaderOf(work.filePath(u"Dir/pipe"_s));
            QVERIFY(worker.finish());
        }
        QVERIFY2(ended, "the upload waited for a writer of the pipe");
        QTEST(int(worker.result.load()), "code");
        QCOMPARE(storedFiles(rig), arrived);
        QCOMPARE(rig.transfer.totalBytes(), quint64(sumOf(arrived)));
    }

    // A queued item that goes between the name check and its sending is told apart from one
    // that arrived; an entry of a folder that goes before its turn is left out, so the folder on
    // the phone is what there is here.
    void vanishedItems_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("removed");
        QTest::addColumn<QString>("heldAnswer");
        QTest::addColumn<int>("code");
        QTest::addColumn<StoredFiles>("arrived");
        QTest::newRow("queued file after its name check")
            << u"gone.bin"_s << u"gone.bin"_s << QString(requests::kFileExists)
            << int(protocol::kItemVanished) << StoredFiles{};
        QTest::newRow("entries of a folder after its listing")
            << u"Dir"_s << u"Dir/b.bin Dir/c"_s << QString(requests::kSendChunk)
            << int(protocol::kNoError) << StoredFiles{{u"Dir/a.bin"_s, 2 * kPiece + 1}};
    }
    void vanishedItems() {
        QFETCH(QString, item);
        QFETCH(QString, removed);
        QFETCH(QString, heldAnswer);
        QFETCH(StoredFiles, arrived);
        PhoneRig rig({u"--delay-ms"_s, u"300"_s});
        QVERIFY(rig.connect());
        const QDir work(rig.workDir.path());
        QVERIFY(writeFile(work.filePath(u"gone.bin"_s), 10));
        QVERIFY(work.mkpath(u"Dir/c"_s));
        QVERIFY(writeFile(work.filePath(u"Dir/a.bin"_s), 2 * kPiece + 1));
        QVERIFY(writeFile(work.filePath(u"Dir/b.bin"_s), 5));
        QVERIFY(writeFile(work.filePath(u"Dir/c/d.bin"_s), 5));
        QVERIFY(FSNodeInfo::nodeWithPath(work.filePath(item), u"now"_s));

        UploadThread worker(rig.transfer, work.filePath(item), item);
        // The phone holds its answer while the things go.
        const bool held = receivedA(rig, heldAnswer);
        for (const QString& name : removed.split(u' '))
            QVERIFY(QFileInfo(work.filePath(name)).isDir()
                        ? QDir(work.filePath(name)).removeRecursively()
                        : QFile::remove(work.filePath(name)));
        QVERIFY(worker.finish());
        QVERIFY(held);
        QTEST(int(worker.result.load()), "code");
        QCOMPARE(storedFiles(rig), arrived);
        QCOMPARE(finishedSent(rig), !arrived.isEmpty());
        QCOMPARE(rig.transfer.uploadCreatedOnPhone(), !arrived.isEmpty());
    }

    // Whether anything was made on the phone decides what a failed item may remove there: a
    // Stop while the name is checked makes nothing, a piece sent has made the file.
    void createdOnPhone() {
        PhoneRig rig({u"--delay-ms"_s, u"300"_s});
        QVERIFY(rig.connect());
        const QString local = rig.workDir.filePath(u"f.bin"_s);
        QVERIFY(writeFile(local, 10));
        QVERIFY(FSNodeInfo::nodeWithPath(local, u"now"_s));
        UploadThread worker(rig.transfer, local, u"f.bin"_s);
        const bool asked = receivedA(rig, QString(requests::kFileExists));
        rig.transfer.cancelUploadOperation();
        QVERIFY(worker.finish());
        QVERIFY(asked);
        QCOMPARE(worker.result.load(), std::int32_t(protocol::kCancelled));
        QVERIFY(!rig.transfer.uploadCreatedOnPhone());
        QVERIFY(rig.received(QString(requests::kSendChunk)).isEmpty());

        QCOMPARE(upload(rig, local, u"f.bin"_s), std::int32_t(protocol::kNoError));
        QVERIFY(rig.transfer.uploadCreatedOnPhone());
    }

    // A name check that gets no answer does not make the name free: nothing is sent to it, and
    // nothing there is taken for this upload's own.
    void unansweredNameCheckSendsNothing() {
        PhoneRig rig({u"--delay-ms"_s, u"2500"_s});
        QVERIFY(rig.connect());
        const QString local = rig.workDir.filePath(u"f.bin"_s);
        QVERIFY(writeFile(local, 10));
        QCOMPARE(upload(rig, local, u"f.bin"_s), std::int32_t(protocol::kNoAnswer));
        QVERIFY(!rig.transfer.uploadCreatedOnPhone());
        QVERIFY(rig.received(QString(requests::kSendChunk)).isEmpty());
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

    // A name taken on the phone ends the item before anything is sent, also when the user asked
    // for a unique name: the caller finds that name, the upload never writes over one.
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
        QCOMPARE(upload(rig, local, u"taken.bin"_s), std::int32_t(protocol::kNameExists));
        QVERIFY(rig.received(QString(requests::kSendChunk)).isEmpty());
        QCOMPARE(QFileInfo(rig.storePath(u"taken.bin"_s)).size(), 3);
    }

    // A cancel lets the piece in flight finish; the next item after a reset goes normally.
    void cancelAtAPieceBoundary() {
        PhoneRig rig({u"--delay-ms"_s, u"300"_s});
        QVERIFY(rig.connect());
        const QString local = rig.workDir.filePath(u"big.bin"_s);
        QVERIFY(writeFile(local, 4 * kPiece));
        UploadThread worker(rig.transfer, local, u"big.bin"_s);
        const bool firstPiece = receivedA(rig, QString(requests::kSendChunk));
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

    // A file that shrinks or grows while it is sent is not reported as arrived: no piece is
    // marked last on a size that was not read.
    void fileThatChangesSize_data() {
        QTest::addColumn<qint64>("newSize");
        QTest::addColumn<int>("piecesSent");
        QTest::newRow("shrinks") << kPiece << 1;
        QTest::newRow("grows") << 3 * kPiece + 1 << 2;
    }
    void fileThatChangesSize() {
        QFETCH(qint64, newSize);
        QFETCH(int, piecesSent);
        PhoneRig rig({u"--delay-ms"_s, u"300"_s});
        QVERIFY(rig.connect());
        const QString local = rig.workDir.filePath(u"changes.bin"_s);
        QVERIFY(writeFile(local, 2 * kPiece + 1));
        UploadThread worker(rig.transfer, local, u"changes.bin"_s);
        // The phone holds its answer to the first piece while the file changes.
        const bool firstPiece = receivedA(rig, QString(requests::kSendChunk));
        const bool resized = QFile::resize(local, newSize);
        QVERIFY(worker.finish());
        QVERIFY(firstPiece);
        QVERIFY(resized);
        QCOMPARE(worker.result.load(), std::int32_t(protocol::kCannotOpenFile));
        const QList<QJsonObject> sent = rig.received(QString(requests::kSendChunk));
        QCOMPARE(sent.size(), piecesSent);
        for (const QJsonObject& piece : sent)
            QCOMPARE(piece.value(keys::kLastChunk).toBool(), false);
        QVERIFY(!finishedSent(rig));
    }

    // What cannot be read fails the item before its name is made on the phone, instead of
    // arriving empty.
    void unreadable_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("locked");
        QTest::newRow("queued file") << u"locked.bin"_s << u"locked.bin"_s;
        QTest::newRow("queued folder") << u"Locked"_s << u"Locked"_s;
        QTest::newRow("file in a folder") << u"Dir"_s << u"Dir/locked.bin"_s;
        QTest::newRow("folder in a folder") << u"Dir"_s << u"Dir/Locked"_s;
    }
    void unreadable() {
        QFETCH(QString, item);
        QFETCH(QString, locked);
        PhoneRig rig;
        QVERIFY(rig.connect());
        const QDir work(rig.workDir.path());
        QVERIFY(work.mkpath(u"Locked"_s) && work.mkpath(u"Dir/Locked"_s));
        QVERIFY(writeFile(work.filePath(u"locked.bin"_s), 10));
        QVERIFY(writeFile(work.filePath(u"Locked/in.bin"_s), 10));
        QVERIFY(writeFile(work.filePath(u"Dir/Locked/in.bin"_s), 10));
        QVERIFY(writeFile(work.filePath(u"Dir/locked.bin"_s), 10));
        QVERIFY(QFile::setPermissions(work.filePath(locked), QFileDevice::Permissions()));
        const UploadWithoutOverride outcome =
            uploadWithoutOverride(rig.transfer, work.filePath(item), item, work.filePath(locked));
        QFile::setPermissions(work.filePath(locked), QFileDevice::ReadOwner |
                                                         QFileDevice::WriteOwner |
                                                         QFileDevice::ExeOwner);
        if (!outcome.probeRefused)
            QSKIP("the upload thread could not give up the right to read everything");
        QCOMPARE(outcome.result, std::int32_t(protocol::kCannotOpenFile));
        QVERIFY(!QFileInfo::exists(rig.storePath(locked)));
        QVERIFY(!finishedSent(rig));
        if (item == locked) QVERIFY(rig.received(QString(requests::kCreateDirectory)).isEmpty());
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
