// The PC's answers to the phone's questions about its store, and downloads into the store:
// dispatched in-process against temporary folders, and end to end from vantle-phone.
#include "PhoneRig.h"
#include "files/VantleUtilities.h"
#include "platform/NotificationCenter.h"
#include "transfer/MessageEnvelope.h"
#include "transfer/ProgressPacer.h"
#include "transfer/ProtocolKeys.h"
#include "transfer/Requests.h"
#include "transfer/Responses.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <ctime>
#include <sys/time.h>

using namespace vantle;
using namespace vantle::test;
using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kSecretSize = 777;
// Long enough for a push of two pieces on loopback.
constexpr int kAnswerLimitMs = 10'000;

bool writeBytes(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every path below `root` (links not followed) with a digest of what a file holds.
QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> seen;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        seen.insert(path, info.isSymLink() ? info.symLinkTarget().toUtf8()
                          : info.isFile()  ? QCryptographicHash::hash(readBytes(path),
                                                                      QCryptographicHash::Sha256)
                                           : QByteArray("folder"));
    }
    return seen;
}

// A store, a temporary area and a folder beside them that nothing may touch, all in one
// temporary folder; the transfer controller posts through a real client-server controller.
struct Store {
    Store() : rig(quickTimeouts()) {
        QDir world(worldDir.path());
        world.mkdir(u"store"_s);
        world.mkdir(u"temp"_s);
        world.mkdir(u"outside"_s);
        transfer.setClientServerController(&rig.controller);
        QVERIFY(transfer.setStoreRootDir(root()).ok());
        QVERIFY(transfer.setTemporaryDir(temp()).ok());
        QVERIFY(writeBytes(outside(u"secret"_s), QByteArray(kSecretSize, 's')));
    }
    ~Store() { transfer.setClientServerController(nullptr); }

    QString root(const QString& relative = {}) const { return at(u"store"_s, relative); }
    QString temp(const QString& relative = {}) const { return at(u"temp"_s, relative); }
    QString outside(const QString& relative = {}) const { return at(u"outside"_s, relative); }
    QString at(const QString& folder, const QString& relative) const {
        const QString base = worldDir.filePath(folder);
        return relative.isEmpty() ? base : base + u'/' + relative;
    }

    template <typename Request> QVariantMap ask(const Request& request) {
        QVariantMap message = request.encode();
        addRequestEnvelope(message, ++number);
        const std::optional<QVariantMap> answer = transfer.dispatchRequest(message);
        if (!answer) return {};
        [&] { QCOMPARE(answer->value(keys::kResponseNum).toInt(), number); }();
        return *answer;
    }
    bool success(const QVariantMap& answer) { return SuccessResponse::decode(answer).success; }
    QVariantMap piece(const QString& path, const QByteArray& data, std::int32_t chunkNum) {
        SendChunkRequest request;
        request.path = path;
        request.chunkData = data;
        request.chunkNum = chunkNum;
        return ask(request);
    }

    QTemporaryDir worldDir;
    ControllerRig rig;
    MRTransferController transfer;
    std::int32_t number = 0;
};

// The notifications of one name, as the window would see them.
struct Seen {
    explicit Seen(QLatin1StringView name) {
        NotificationCenter::defaultCenter().addObserver(
            QString(name), &context, [this](const Notification& note) { notes.push_back(note); });
    }
    QObject context;
    std::vector<Notification> notes;
};

} // namespace

class IncomingTest : public QObject {
    Q_OBJECT

private slots:
    // "/" is the store itself; "/etc/x" is the store's etc/x.
    void existenceAndListing() {
        Store s;
        QVERIFY(writeBytes(s.root(u"sub/a.txt"_s), "a"));
        QVERIFY(QDir().mkpath(s.root(u"sub/inner"_s)));
        QVERIFY(QDir().mkpath(s.root(u"sub/vantleMetadata/a.txt"_s)));
        QVERIFY(QDir().mkpath(s.root(u"sub/vantleThumbs"_s)));
        QVERIFY(writeBytes(s.root(u"etc/x"_s), "x"));

        auto exists = [&](const QString& path) {
            return FileExistsResponse::decode(s.ask(FileExistsRequest{path}));
        };
        QCOMPARE(exists(u"/"_s), (FileExistsResponse{true, true}));
        QCOMPARE(exists(u"/sub/a.txt"_s), (FileExistsResponse{true, false}));
        QCOMPARE(exists(u"sub/inner"_s), (FileExistsResponse{true, true}));
        QCOMPARE(exists(u"/etc/x"_s), (FileExistsResponse{true, false}));
        QCOMPARE(exists(u"/nothing"_s), (FileExistsResponse{false, false}));

        const DirectoryListResponse listing =
            DirectoryListResponse::decode(s.ask(DirectoryListRequest{u"/sub"_s}));
        QVERIFY(listing.listing);
        QStringList names = *listing.listing;
        names.sort();
        QCOMPARE(names,
                 (QStringList{u"a.txt"_s, u"inner"_s, u"vantleMetadata"_s, u"vantleThumbs"_s}));
        QCOMPARE(*listing.listingPlus,
                 (QMap<QString, ListingEntry>{{u"a.txt"_s, {false}}, {u"inner"_s, {true}}}));
        const DirectoryListResponse top =
            DirectoryListResponse::decode(s.ask(DirectoryListRequest{u"/"_s}));
        QVERIFY(top.listing && top.listing->contains(u"sub"_s));

        const DirectoryListResponse ofFile =
            DirectoryListResponse::decode(s.ask(DirectoryListRequest{u"/sub/a.txt"_s}));
        QVERIFY(!ofFile.listing);
        QVERIFY(ofFile.listingPlus && ofFile.listingPlus->isEmpty());
    }

    // The thumbnail beside an item, else the default icon; sizes never follow links.
    void iconsAndSizes() {
        Store s;
        QVERIFY(writeBytes(s.root(u"f.txt"_s), QByteArray(100, 'f')));
        QVERIFY(
            writeBytes(VantleUtilities::thumbnailPathForPath(s.root(u"f.txt"_s), false), "thumb"));
        QVERIFY(writeBytes(s.root(u"bare.txt"_s), QByteArray(10, 'b')));
        QVERIFY(writeBytes(s.root(u"dir/one"_s), QByteArray(30, '1')));
        QVERIFY(QFile::link(s.outside(u"secret"_s), s.root(u"dir/link"_s)));

        auto ask = [&](const QStringList& paths) {
            return *GetIconsAndSizesResponse::decode(s.ask(GetIconsAndSizesRequest{paths}))
                        .iconsAndSizes;
        };
        const auto without = ask({u"/f.txt"_s, u"bare.txt"_s, u"/dir"_s, u"/missing"_s});
        QCOMPARE(without.value(u"/f.txt"_s), (IconAndSize{QByteArray("thumb"), 100}));
        QCOMPARE(without.value(u"bare.txt"_s), (IconAndSize{std::nullopt, 10}));
        QVERIFY(without.value(u"/dir"_s).size < kSecretSize); // the link counts as a link
        QCOMPARE(without.value(u"/missing"_s), (IconAndSize{std::nullopt, 0}));

        QVERIFY(writeBytes(s.outside(u"default.tif"_s), "default"));
        s.transfer.setDefaultThumbnail(s.outside(u"default.tif"_s));
        const auto with = ask({u"/f.txt"_s, u"bare.txt"_s, u"/dir/link"_s});
        QCOMPARE(with.value(u"/f.txt"_s).icon, std::optional<QByteArray>("thumb"));
        QCOMPARE(with.value(u"bare.txt"_s).icon, std::optional<QByteArray>("default"));
        QCOMPARE(with.value(u"/dir/link"_s), (IconAndSize{QByteArray("default"), 0}));
    }

    // "SendFile" carries the absolute path; nothing there answers false and posts nothing.
    void requestFile() {
        Store s;
        Seen sent(notes::kSendFile);
        QVERIFY(writeBytes(s.root(u"r.pdf"_s), "pdf"));
        QVERIFY(s.success(s.ask(RequestFileRequest{u"/r.pdf"_s})));
        QVERIFY(!s.success(s.ask(RequestFileRequest{u"/gone.pdf"_s})));
        QTRY_COMPARE_WITH_TIMEOUT(sent.notes.size(), std::size_t(1), kWaitMs);
        QCOMPARE(sent.notes[0].userInfo.toString(), s.root(u"r.pdf"_s));
    }

    // An item goes with its thumbnail, preview and metadata folder; a link goes as a link; the
    // store itself stays.
    void removeFile() {
        Store s;
        Seen changed(notes::kListingChanged);
        const QString file = s.root(u"d/x.txt"_s);
        QVERIFY(writeBytes(file, "x"));
        QVERIFY(writeBytes(VantleUtilities::thumbnailPathForPath(file, false), "t"));
        QVERIFY(writeBytes(VantleUtilities::metaPathForPath(file, false), "m"));
        QVERIFY(writeBytes(s.root(u"d/keep.txt"_s), "k"));
        QVERIFY(s.success(s.ask(RemoveFileRequest{u"/d/x.txt"_s})));
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(!QFileInfo::exists(s.root(u"d/vantleMetadata/x.txt"_s)));
        QVERIFY(QFileInfo::exists(s.root(u"d/keep.txt"_s)));

        QVERIFY(QFile::link(s.outside(), s.root(u"d/out"_s)));
        QVERIFY(s.success(s.ask(RemoveFileRequest{u"/d/out"_s})));
        QVERIFY(!QFileInfo(s.root(u"d/out"_s)).isSymLink());
        QCOMPARE(QFileInfo(s.outside(u"secret"_s)).size(), kSecretSize);

        QVERIFY(s.success(s.ask(RemoveFileRequest{u"d"_s})));
        QVERIFY(!QFileInfo::exists(s.root(u"d"_s)));
        QVERIFY(!s.success(s.ask(RemoveFileRequest{u"/d"_s})));
        for (const QString& root : {u"/"_s, u""_s, u"."_s, u"//"_s})
            QVERIFY2(!s.success(s.ask(RemoveFileRequest{root})), qPrintable(root));
        QVERIFY(QFileInfo(s.root()).isDir());
        QTRY_VERIFY_WITH_TIMEOUT(!changed.notes.empty(), kWaitMs);
        QVERIFY(!changed.notes.back().userInfo.isValid());
    }

    // Folders and pieces land in the temporary area with their previews beside them; piece 0
    // starts afresh; progress carries [TotalBytes, CurrentBytes, BaseFileName].
    void folderAndPiecesInTheTemporaryArea() {
        Store s;
        Seen progress(notes::kDownloadProgress);
        QCOMPARE(s.transfer.lastDownloadRoot(), std::nullopt);
        // Asked for without a phone: the download under way all the same.
        QVERIFY(!s.transfer.requestRemoteFile(u"/Docs"_s));
        QVERIFY(s.success(
            s.ask(CreateDirectoryRequest{u"Docs"_s, QByteArray("tiff"), QByteArray("<html/>")})));
        QVERIFY(QFileInfo(s.temp(u"Docs"_s)).isDir());
        QCOMPARE(readBytes(s.temp(u"vantleMetadata/Docs/Thumbnail.tif"_s)), QByteArray("tiff"));
        QCOMPARE(readBytes(VantleUtilities::metaPathForPath(s.temp(u"Docs"_s), false)),
                 QByteArray("<html/>"));

        QVERIFY(s.success(s.piece(u"Docs/a.bin"_s, "one", 0)));
        QVERIFY(s.success(s.piece(u"Docs/a.bin"_s, "two", 1)));
        QCOMPARE(readBytes(s.temp(u"Docs/a.bin"_s)), QByteArray("onetwo"));
        SendChunkRequest last;
        last.path = u"Docs/a.bin"_s;
        last.chunkData = "new";
        last.previewTIFF = QByteArray("pt");
        last.totalBytes = 3;
        last.currentBytes = 0;
        last.baseFileName = u"Docs"_s;
        QVERIFY(s.success(s.ask(last)));
        QCOMPARE(readBytes(s.temp(u"Docs/a.bin"_s)), QByteArray("new"));
        QCOMPARE(readBytes(s.temp(u"Docs/vantleMetadata/a.bin/Thumbnail.tif"_s)), QByteArray("pt"));
        QTRY_COMPARE_WITH_TIMEOUT(progress.notes.size(), std::size_t(1), kWaitMs);
        QCOMPARE(progress.notes[0].userInfo.toList(),
                 (QVariantList{qint64(3), qint64(0), u"Docs"_s}));
        QCOMPARE(s.transfer.lastDownloadRoot(), std::optional<QString>(u"Docs"_s));

        // A backslash is no separator of ours.
        QVERIFY(s.success(s.piece(u"a\\b.txt"_s, "ab", 0)));
        QCOMPARE(readBytes(s.temp(u"a_b.txt"_s)), QByteArray("ab"));
        QCOMPARE(s.transfer.lastDownloadRoot(), std::optional<QString>(u"a_b.txt"_s));
    }

    // A piece that cannot be written and a folder that cannot be made answer false.
    void failuresAreReported() {
        Store s;
        QVERIFY(!s.success(s.ask(CreateDirectoryRequest{u"no/such/parent"_s, {}, {}})));
        QVERIFY(QDir().mkpath(s.temp(u"busy/inner"_s)));
        QVERIFY(!s.success(s.piece(u"busy"_s, "x", 1)));
        QVERIFY(!s.success(s.piece(u"missing/x"_s, "x", 0)));
        QVERIFY(writeBytes(s.temp(u"plain"_s), "p"));
        QVERIFY(!s.success(s.ask(CreateDirectoryRequest{u"plain/sub"_s, {}, {}})));
        QVERIFY(!s.success(s.ask(CreateDirectoryRequest{u"/"_s, {}, {}})));
        QVERIFY(QFileInfo(s.temp()).isDir());
    }

    // A piece the PC cannot store ends the download at once: the window is told why, nothing of
    // the item stays in the temporary area, and the phone's later pieces change nothing.
    void refusedPieceEndsTheDownload() {
        Store s;
        Seen failed(notes::kDownloadFailed);
        Seen progress(notes::kDownloadProgress);
        QVERIFY(!s.transfer.requestRemoteFile(u"/Docs"_s));
        QVERIFY(s.success(s.ask(CreateDirectoryRequest{u"Docs"_s, {}, {}})));
        QVERIFY(s.success(s.piece(u"Docs/a.bin"_s, "one", 0)));
        QVERIFY(QDir().mkpath(s.temp(u"Docs/b.bin/in the way"_s)));
        QVERIFY(!s.success(s.piece(u"Docs/b.bin"_s, "two", 1)));
        QTRY_COMPARE_WITH_TIMEOUT(failed.notes.size(), std::size_t(1), kWaitMs);
        QCOMPARE(failed.notes[0].userInfo.toString(), u"Is a directory: Docs/b.bin"_s);
        QVERIFY(!QFileInfo::exists(s.temp(u"Docs"_s)));
        QVERIFY(!s.success(s.piece(u"Docs/a.bin"_s, "three", 1)));
        QVERIFY(!QFileInfo::exists(s.temp(u"Docs"_s)));
        QCOMPARE(s.transfer.finishDownload(u"Docs"_s).ok(), false);
        QCoreApplication::processEvents();
        QCOMPARE(failed.notes.size(), std::size_t(1));
        QVERIFY(progress.notes.empty());
    }

    // An item the phone says is bigger than the room in the temporary area ends before its first
    // piece is written, with what is needed and what is free.
    void tooLittleRoomEndsTheDownloadAtOnce() {
        constexpr qint64 kKiB = 1024;
        constexpr qint64 kNeeded = 3 * kKiB * kKiB + 150 * kKiB;
        constexpr qint64 kFree = kKiB * kKiB + 400 * kKiB;
        Store s;
        Seen failed(notes::kDownloadFailed);
        s.transfer.setFreeBytesProbe([](const QString&) { return kFree; });
        QVERIFY(!s.transfer.requestRemoteFile(u"/big.bin"_s));
        SendChunkRequest first;
        first.path = u"big.bin"_s;
        first.chunkData = "x";
        first.chunkNum = 0;
        first.totalBytes = kNeeded;
        first.currentBytes = 0;
        first.baseFileName = u"big.bin"_s;
        QVERIFY(!s.success(s.ask(first)));
        QTRY_COMPARE_WITH_TIMEOUT(failed.notes.size(), std::size_t(1), kWaitMs);
        QCOMPARE(failed.notes[0].userInfo.toString(),
                 u"No space left on device: 3.1 MB needed, 1.3 MB free in "_s + s.temp());
        QVERIFY(!QFileInfo::exists(s.temp(u"big.bin"_s)));
    }

    // What arrived of a cancelled download goes when it ends; leftovers of earlier runs go at
    // start-up, a live one (written within the silence limit) and what links lead to stay.
    void partialsDoNotOutliveTheirDownload() {
        Store s;
        QVERIFY(!s.transfer.requestRemoteFile(u"/half.bin"_s));
        QVERIFY(s.success(s.piece(u"half.bin"_s, "one", 0)));
        s.transfer.cancelDownloadOperation();
        QVERIFY(!s.success(s.piece(u"half.bin"_s, "two", 1)));
        s.transfer.resetDownloadOperation();
        QVERIFY(!QFileInfo::exists(s.temp(u"half.bin"_s)));

        const auto secret = snapshot(s.outside());
        QVERIFY(QDir().mkpath(s.temp(u"old/inner"_s)));
        QVERIFY(writeBytes(s.temp(u"old/inner/x"_s), "x"));
        QVERIFY(QFile::link(s.outside(), s.temp(u"old/way out"_s)));
        QVERIFY(writeBytes(s.temp(u".hidden"_s), "h"));
        QVERIFY(writeBytes(s.temp(u"live"_s), "l"));
        // A day ago.
        const timeval dayAgo{::time(nullptr) - 24 * 60 * 60, 0};
        const timeval times[2] = {dayAgo, dayAgo};
        for (const QString& name : {u"old"_s, u".hidden"_s})
            QCOMPARE(::utimes(QFile::encodeName(s.temp(name)).constData(), times), 0);
        s.transfer.clearTemporaryArea(std::chrono::hours(1));
        QCOMPARE(QDir(s.temp()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                          QDir::NoDotAndDotDot),
                 QStringList{u"live"_s});
        QCOMPARE(snapshot(s.outside()), secret);
    }

    // Each process downloads into an area of its own, so that the window and vantle-cli never
    // write to or clear each other's pieces; the areas of ended processes go at start-up.
    void processesKeepToTheirOwnTemporaryAreas() {
        QTemporaryDir tmp;
        const QByteArray saved = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        const auto restore = qScopeGuard([&] {
            if (saved.isNull())
                qunsetenv("TMPDIR");
            else
                qputenv("TMPDIR", saved);
        });
        const QString shared = tmp.filePath(u"vantle-%1-downloads"_s.arg(::geteuid()));
        QVERIFY(QDir().mkpath(shared));
        QVERIFY(
            QFile::setPermissions(shared, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcess ended;
        ended.start(u"true"_s);
        QVERIFY(ended.waitForStarted());
        const QString endedArea = shared + u"/process-%1"_s.arg(ended.processId());
        QVERIFY(ended.waitForFinished());
        const QString runningArea = shared + u"/process-%1"_s.arg(::getppid());
        QVERIFY(writeBytes(endedArea + u"/a.bin"_s, "a"));
        QVERIFY(writeBytes(runningArea + u"/a.bin"_s, "b"));
        QVERIFY(writeBytes(shared + u"/flat.bin"_s, "c"));
        const timeval dayAgo{::time(nullptr) - 24 * 60 * 60, 0};
        const timeval times[2] = {dayAgo, dayAgo};
        for (const QString& path : QStringList{endedArea, runningArea, shared + u"/flat.bin"_s})
            QCOMPARE(::utimes(QFile::encodeName(path).constData(), times), 0);

        MRTransferController transfer;
        QCOMPARE(transfer.temporaryDir(), shared + u"/process-%1"_s.arg(::getpid()));
        transfer.clearTemporaryArea(std::chrono::hours(1));
        QVERIFY(!QFileInfo::exists(endedArea));
        QVERIFY(!QFileInfo::exists(shared + u"/flat.bin"_s));
        QCOMPARE(readBytes(runningArea + u"/a.bin"_s), QByteArray("b"));
        const QString own = transfer.temporaryDir();
        QVERIFY(QFileInfo(own).isDir());
        // At the end an area with something left in it stays for a later start; an empty one goes.
        QVERIFY(writeBytes(own + u"/left.bin"_s, "l"));
        transfer.releaseTemporaryArea();
        QVERIFY(QFileInfo::exists(own + u"/left.bin"_s));
        QVERIFY(QFile::remove(own + u"/left.bin"_s));
        transfer.releaseTemporaryArea();
        QVERIFY(!QFileInfo::exists(own));
    }

    // The file a download's pieces go to stays the one whose path was checked: what appears at
    // its path between pieces is never written through, and what replaces it is not written to.
    void piecesStayInTheCheckedFile() {
        Store s;
        const auto secret = snapshot(s.outside());
        QVERIFY(s.success(s.piece(u"f"_s, "one", 0)));
        QVERIFY(QFile::rename(s.temp(u"f"_s), s.temp(u"f.kept"_s)));
        QVERIFY(QFile::link(s.outside(u"secret"_s), s.temp(u"f"_s)));
        QVERIFY(s.success(s.piece(u"f"_s, "two", 1)));
        QCOMPARE(readBytes(s.temp(u"f.kept"_s)), QByteArray("onetwo"));
        // A link waiting at a name is refused, whichever piece comes first.
        QVERIFY(!s.success(s.piece(u"f"_s, "new", 0)));
        QVERIFY(QFile::link(s.outside(u"secret"_s), s.temp(u"g"_s)));
        QVERIFY(!s.success(s.piece(u"g"_s, "x", 1)));
        QVERIFY(QFileInfo(s.temp(u"f"_s)).isSymLink());

        // A folder made over the file being written ends it: no piece goes to the removed file.
        QVERIFY(s.success(s.piece(u"d"_s, "a", 0)));
        QVERIFY(s.success(s.ask(CreateDirectoryRequest{u"d"_s, {}, {}})));
        QVERIFY(!s.success(s.piece(u"d"_s, "b", 1)));
        QVERIFY(QFileInfo(s.temp(u"d"_s)).isDir());

        // Another temporary area gets the pieces from then on.
        QVERIFY(s.success(s.piece(u"h"_s, "1", 0)));
        QVERIFY(QDir().mkpath(s.at(u"temp2"_s, {})));
        QVERIFY(s.transfer.setTemporaryDir(s.at(u"temp2"_s, {})).ok());
        QVERIFY(s.success(s.piece(u"h"_s, "2", 1)));
        QCOMPARE(readBytes(s.temp(u"h"_s)), QByteArray("1"));
        QCOMPARE(readBytes(s.at(u"temp2"_s, u"h"_s)), QByteArray("2"));
        QCOMPARE(snapshot(s.outside()), secret);
    }

    // After a cancel every piece is refused with -441 and the progress display resets.
    void cancelRefusesEveryPiece() {
        Store s;
        Seen progress(notes::kDownloadProgress);
        QVERIFY(!s.transfer.requestRemoteFile(u"f"_s));
        QVERIFY(s.success(s.piece(u"f"_s, "1", 0)));
        s.transfer.cancelDownloadOperation();
        for (std::int32_t n = 1; n <= 3; ++n) {
            SendChunkRequest piece;
            piece.path = u"f"_s;
            piece.chunkData = "x";
            piece.chunkNum = n;
            piece.totalBytes = 4;
            piece.currentBytes = n;
            piece.baseFileName = u"f"_s;
            QCOMPARE(SuccessResponse::decode(s.ask(piece)),
                     (SuccessResponse{false, protocol::kDownloadCancelled}));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!progress.notes.empty(), kWaitMs);
        for (const Notification& note : progress.notes)
            QVERIFY(!note.userInfo.isValid());
        s.transfer.resetDownloadOperation();
        QVERIFY(s.success(s.piece(u"f"_s, "2", 0)));
    }

    // A fast download must not flood the main thread with a progress note per piece; the item's
    // last piece still shows, with the bytes that came before it.
    void progressIsCoalesced() {
        constexpr std::int32_t kPieces = 64;
        constexpr qint64 kPieceSize = 1024;
        Store s;
        Seen progress(notes::kDownloadProgress);
        QVERIFY(!s.transfer.requestRemoteFile(u"f"_s));
        const QByteArray data(kPieceSize, 'p');
        QElapsedTimer clock;
        clock.start();
        for (std::int32_t n = 0; n < kPieces; ++n) {
            SendChunkRequest piece;
            piece.path = u"f"_s;
            piece.chunkData = data;
            piece.chunkNum = n;
            piece.totalBytes = kPieces * kPieceSize;
            piece.currentBytes = n * kPieceSize;
            piece.baseFileName = u"f"_s;
            QVERIFY(s.success(s.ask(piece)));
        }
        // One note per interval that passed, the first and the last: a slow machine gets more.
        const qint64 allowed = clock.elapsed() / kProgressInterval.count() + 2;
        QTRY_VERIFY_WITH_TIMEOUT(
            !progress.notes.empty() &&
                progress.notes.back().userInfo.toList().value(1).toLongLong() ==
                    (kPieces - 1) * kPieceSize,
            kWaitMs);
        QVERIFY2(qint64(progress.notes.size()) <= allowed,
                 qPrintable(u"%1 notes, %2 allowed"_s.arg(progress.notes.size()).arg(allowed)));
        QCOMPARE(progress.notes.back().userInfo.toList().value(0).toLongLong(),
                 kPieces * kPieceSize);
        QCOMPARE(QFileInfo(s.temp(u"f"_s)).size(), kPieces * kPieceSize);
    }

    // Free names beside what is there; only the item asked for is finished; a failed move is
    // an error and leaves the item where it was.
    void finishDownload() {
        Store s;
        Seen changed(notes::kListingChanged);
        QVERIFY(writeBytes(s.root(u"report.pdf"_s), "old"));
        QVERIFY(s.success(s.piece(u"report.pdf"_s, "new", 0)));
        QVERIFY(!s.transfer.finishDownload(u"report.pdf"_s).ok()); // nothing asked for

        // requestRemoteFile without a phone still marks the download under way.
        QVERIFY(!s.transfer.requestRemoteFile(u"/some/report.pdf"_s));
        QVERIFY(!s.transfer.finishDownload(u"other.pdf"_s).ok());
        const Result<QString> done = s.transfer.finishDownload(u"report.pdf"_s);
        QVERIFY2(done.ok(), qPrintable(done.error()));
        QCOMPARE(*done, s.root(u"report-1.pdf"_s));
        QCOMPARE(readBytes(*done), QByteArray("new"));
        QCOMPARE(readBytes(s.root(u"report.pdf"_s)), QByteArray("old"));
        QTRY_VERIFY_WITH_TIMEOUT(!changed.notes.empty(), kWaitMs);
        QCOMPARE(changed.notes.back().userInfo.toString(), *done);
        QVERIFY(!s.transfer.finishDownload(u"report.pdf"_s).ok()); // once only

        // Into a destination, with the Windows characters of the name replaced.
        QVERIFY(!s.transfer.requestRemoteFile(u"a:b?.txt"_s));
        QVERIFY(s.success(s.piece(u"a:b?.txt"_s, "ab", 0)));
        const Result<QString> into = s.transfer.finishDownload(u"a:b?.txt"_s, s.outside());
        QVERIFY2(into.ok(), qPrintable(into.error()));
        QCOMPARE(*into, s.outside(u"a_b_.txt"_s));

        // A cancelled download is not finished by its late notification.
        QVERIFY(!s.transfer.requestRemoteFile(u"late.txt"_s));
        QVERIFY(s.success(s.piece(u"late.txt"_s, "l", 0)));
        s.transfer.cancelDownloadOperation();
        QVERIFY(!s.transfer.finishDownload(u"late.txt"_s).ok());
        s.transfer.resetDownloadOperation();
        QVERIFY(!s.transfer.requestRemoteFile(u"next.txt"_s));
        QVERIFY(!s.transfer.finishDownload(u"late.txt"_s).ok());
        QVERIFY(!QFileInfo::exists(s.root(u"late.txt"_s)));

        // A destination that is no folder: the move fails and says so.
        QVERIFY(s.success(s.piece(u"next.txt"_s, "n", 0)));
        const Result<QString> failed =
            s.transfer.finishDownload(u"next.txt"_s, s.outside(u"secret"_s));
        QVERIFY(!failed.ok());
        QCOMPARE(readBytes(s.temp(u"next.txt"_s)), QByteArray("n"));
        QCOMPARE(QFileInfo(s.outside(u"secret"_s)).size(), kSecretSize);
    }

    // Whatever the phone names, nothing outside the store and the temporary area is touched,
    // listed or sized.
    void hostilePathsStayInside() {
        Store s;
        QVERIFY(QFile::link(s.outside(), s.root(u"link"_s)));
        QVERIFY(QFile::link(s.outside(u"secret"_s), s.root(u"secretlink"_s)));
        QVERIFY(QFile::link(s.outside(), s.temp(u"tlink"_s)));
        // A metadata folder that leads out: companions are read and removed through it.
        QVERIFY(QFile::link(s.outside(), s.root(u"vantleMetadata"_s)));
        QVERIFY(writeBytes(s.outside(u"icon/Thumbnail.tif"_s), "stolen"));
        QVERIFY(writeBytes(s.outside(u"icon/Preview"_s), "stolen"));
        const QString longName(4096, u'n');
        const QStringList hostile{u".."_s,
                                  u"../"_s,
                                  u"../outside"_s,
                                  u"../outside/secret"_s,
                                  u"/.."_s,
                                  u"/../outside"_s,
                                  u"a/../../outside"_s,
                                  u"./../outside/secret"_s,
                                  u"link"_s,
                                  u"link/"_s,
                                  u"link/secret"_s,
                                  u"/link/secret"_s,
                                  u"secretlink"_s,
                                  u"tlink"_s,
                                  u"tlink/secret"_s,
                                  u"link/../link/secret"_s,
                                  u"x\\..\\..\\outside"_s,
                                  u"C:x"_s,
                                  u"C:\\outside"_s,
                                  u"a\u0000b"_s,
                                  QString(u"secret\0x"_s),
                                  u"a\nb"_s,
                                  u"\u001b"_s,
                                  u"a\u007f"_s,
                                  longName,
                                  longName + u"/x"_s,
                                  u"outside/../../outside/secret"_s,
                                  s.outside(u"secret"_s),
                                  u"//../outside"_s,
                                  u"/icon"_s,
                                  u"/secret"_s};
        QVERIFY(hostile.size() >= 25);
        const QMap<QString, QByteArray> before = snapshot(s.outside());

        for (const QString& path : hostile) {
            const char* name = qPrintable(path.left(40));
            const DirectoryListResponse listing =
                DirectoryListResponse::decode(s.ask(DirectoryListRequest{path}));
            QVERIFY2(!listing.listing || !listing.listing->contains(u"secret"_s), name);
            const auto sizes =
                *GetIconsAndSizesResponse::decode(s.ask(GetIconsAndSizesRequest{{path}}))
                     .iconsAndSizes;
            QVERIFY2(sizes.value(path).size != kSecretSize, name);
            QVERIFY2(sizes.value(path).icon != std::optional<QByteArray>("stolen"), name);
            QVERIFY2(!FileExistsResponse::decode(s.ask(FileExistsRequest{path})).exists ||
                         QFileInfo::exists(s.root(path)),
                     name);
            s.ask(RequestFileRequest{path});
            s.ask(CreateDirectoryRequest{path, QByteArray("t"), QByteArray("h")});
            s.piece(path, "evil", 0);
            s.piece(path + u"/x"_s, "evil", 0);
            s.ask(CreateDirectoryRequest{path + u"/d"_s, {}, {}});
            s.ask(RemoveFileRequest{path});
            QVERIFY(!s.transfer.finishDownload(path).ok());
            QVERIFY(!s.transfer.finishDownload(path, s.root()).ok());
        }
        QCOMPARE(snapshot(s.outside()), before);
        QVERIFY(QFileInfo(s.root()).isDir());
        QVERIFY(QFileInfo(s.temp()).isDir());
        QCOMPARE(QDir(s.worldDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{u"outside"_s, u"store"_s, u"temp"_s}));
    }

    // End to end: vantle-phone pushes what was asked for; it arrives byte for byte under a free
    // name, with the preview and HTML the phone keeps for it beside it in the temporary area.
    void downloadFromThePhone_data() {
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("expected");
        QTest::newRow("file") << u"report.pdf"_s << u"report-1.pdf"_s;
        QTest::newRow("folder") << u"Docs"_s << u"Docs-1"_s;
        QTest::newRow("no extension") << u"README"_s << u"README-1"_s;
        QTest::newRow("two dots") << u"archive.tar.gz"_s << u"archive.tar-1.gz"_s;
    }
    void downloadFromThePhone() {
        QFETCH(QString, asked);
        QFETCH(QString, expected);
        PhoneRig rig;
        QTemporaryDir pcStore, pcTemp;
        QVERIFY(rig.transfer.setStoreRootDir(pcStore.path()).ok());
        QVERIFY(rig.transfer.setTemporaryDir(pcTemp.path()).ok());
        QVERIFY(writeFile(rig.storePath(u"report.pdf"_s), 3 * protocol::kChunkSize + 5, 'r'));
        QVERIFY(writeFile(rig.storePath(u"README"_s), 10, 'm'));
        QVERIFY(writeFile(rig.storePath(u"archive.tar.gz"_s), protocol::kChunkSize + 1, 'z'));
        QVERIFY(QDir().mkpath(rig.storePath(u"Docs/sub"_s)));
        QVERIFY(writeFile(rig.storePath(u"Docs/inner.txt"_s), 1000, 'i'));
        QVERIFY(writeFile(rig.storePath(u"Docs/sub/deep.bin"_s), protocol::kChunkSize, 'd'));
        QVERIFY(writeFile(rig.storePath(u"Docs/empty"_s), 0));
        const QStringList files = {u"inner.txt"_s, u"sub/deep.bin"_s, u"empty"_s};
        // The files whose preview and HTML the phone keeps, relative to its store.
        const QStringList described = QFileInfo(rig.storePath(asked)).isDir()
                                          ? QStringList{asked + u"/inner.txt"_s}
                                          : QStringList{asked};
        auto companions = [](const QString& path) {
            return std::pair{VantleUtilities::thumbnailPathForPath(path, false),
                             VantleUtilities::metaPathForPath(path, false)};
        };
        for (const QString& item : described) {
            const auto [thumbnail, html] = companions(rig.storePath(item));
            QVERIFY(writeBytes(thumbnail, QByteArray("TIFF of ") + item.toUtf8()));
            QVERIFY(writeBytes(html, QByteArray("<p>") + item.toUtf8() + QByteArray("</p>")));
        }
        const bool folder = QFileInfo(rig.storePath(asked)).isDir();
        if (folder)
            QVERIFY(QDir().mkpath(pcStore.filePath(asked)));
        else
            QVERIFY(writeBytes(pcStore.filePath(asked), "taken"));
        QVERIFY(rig.connect());

        Seen finished(notes::kTransferFinished);
        rig.transfer.resetDownloadOperation();
        QVERIFY(onWorker([&] { return rig.transfer.requestRemoteFile(u'/' + asked); }));
        QTRY_COMPARE_WITH_TIMEOUT(finished.notes.size(), std::size_t(1), kWorkerLimitMs);
        const QString name = finished.notes[0]
                                 .userInfo.toMap()
                                 .value(keys::kNoteInfo)
                                 .toMap()
                                 .value(keys::kPath)
                                 .toString();
        QCOMPARE(name, asked);
        QCOMPARE(rig.transfer.lastDownloadRoot(), std::optional<QString>(name));
        for (const QString& item : described) {
            const auto [thumbnail, html] = companions(pcTemp.filePath(item));
            const auto [phoneThumbnail, phoneHtml] = companions(rig.storePath(item));
            QVERIFY2(QFileInfo(thumbnail).isFile(), qPrintable(thumbnail));
            QCOMPARE(readBytes(thumbnail), readBytes(phoneThumbnail));
            QVERIFY2(QFileInfo(html).isFile(), qPrintable(html));
            QCOMPARE(readBytes(html), readBytes(phoneHtml));
        }

        const Result<QString> final = rig.transfer.finishDownload(name);
        QVERIFY2(final.ok(), qPrintable(final.error()));
        QCOMPARE(*final, pcStore.filePath(expected));
        const QString phoneItem = rig.storePath(asked);
        if (!folder) {
            QCOMPARE(readBytes(*final), readBytes(phoneItem));
        } else {
            for (const QString& inner : files) {
                QVERIFY2(QFileInfo(*final + u'/' + inner).isFile(), qPrintable(inner));
                QCOMPARE(readBytes(*final + u'/' + inner), readBytes(phoneItem + u'/' + inner));
            }
        }
        if (!folder) QCOMPARE(readBytes(pcStore.filePath(asked)), QByteArray("taken"));
    }

    // End to end: whatever name vantle-phone pushes an item under, nothing outside the PC's store
    // and temporary area changes; the pieces are refused or land strictly inside the temporary
    // area.
    void hostileNamesFromThePhone_data() {
        QTest::addColumn<QString>("wire"); // as --push-as takes it: %XX is the byte XX
        QTest::newRow("parent") << u".."_s;
        QTest::newRow("parent then name") << u"../x"_s;
        QTest::newRow("down and out") << u"a/../../x"_s;
        QTest::newRow("drive") << u"C:x"_s;
        QTest::newRow("backslashes") << u"x\\..\\..\\y"_s;
        QTest::newRow("reserved characters") << u"|<>?*\":"_s;
        QTest::newRow("NUL") << u"nul%00here"_s;
        QTest::newRow("control character") << u"a%01b"_s;
        QTest::newRow("4096 bytes") << QString(4096, u'n');
        QTest::newRow("absolute") << u"/../../x"_s;
    }
    void hostileNamesFromThePhone() {
        QFETCH(QString, wire);
        PhoneRig rig({u"--push-as"_s, wire});
        QTemporaryDir world;
        QDir(world.path()).mkdir(u"store"_s);
        QDir(world.path()).mkdir(u"temp"_s);
        const QString pcStore = world.filePath(u"store"_s), pcTemp = world.filePath(u"temp"_s);
        QVERIFY(writeBytes(world.filePath(u"outside/secret"_s), QByteArray(kSecretSize, 's')));
        QVERIFY(writeBytes(world.filePath(u"outside/x"_s), "x"));
        QVERIFY(QDir().mkpath(world.filePath(u"outside/a"_s)));
        const QString outside = world.filePath(u"outside"_s);
        QVERIFY(rig.transfer.setStoreRootDir(pcStore).ok());
        QVERIFY(rig.transfer.setTemporaryDir(pcTemp).ok());
        const QMap<QString, QByteArray> before = snapshot(outside);
        const QStringList beside =
            QDir(world.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        QVERIFY(writeFile(rig.storePath(u"item.bin"_s), protocol::kChunkSize + 7, 'h'));
        QVERIFY(rig.connect());

        rig.transfer.resetDownloadOperation();
        QVERIFY(onWorker([&] { return rig.transfer.requestRemoteFile(u"/item.bin"_s); }));
        // The PC's answers to the phone's requests since it asked for the item: its pieces, then
        // "TransferFinished".
        auto answers = [&] {
            QList<QJsonObject> found;
            bool asked = false;
            for (const QJsonObject& message : rig.received()) {
                asked =
                    asked || message.value(keys::kRequestType).toString() == requests::kRequestFile;
                if (asked && message.contains(keys::kSuccess)) found.append(message);
            }
            return found;
        };
        auto refused = [&] {
            return std::ranges::any_of(answers(), [](const QJsonObject& answer) {
                return !answer.value(keys::kSuccess).toBool();
            });
        };
        // The phone stops at the first refusal; otherwise two pieces and the end are answered
        // (and, on a busy machine, perhaps a request the phone made as it connected).
        const auto story = [&] {
            QStringList lines{rig.phoneOutput()};
            for (const QJsonObject& message : rig.received())
                lines << QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact));
            return lines.join(u'\n');
        };
        QTRY_VERIFY2_WITH_TIMEOUT(refused() || answers().size() >= 3, qPrintable(story()),
                                  kAnswerLimitMs);

        QCOMPARE(snapshot(outside), before);
        QCOMPARE(
            QDir(world.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            beside);
        QVERIFY(snapshot(pcStore).isEmpty());
        const QString tempRoot = QDir(pcTemp).canonicalPath() + u'/';
        for (const QString& path : snapshot(pcTemp).keys()) {
            const QString real = QFileInfo(path).canonicalFilePath();
            QVERIFY2(real.startsWith(tempRoot), qPrintable(path));
        }
        // What was accepted is kept, in the temporary area.
        if (!refused()) QVERIFY(!snapshot(pcTemp).isEmpty());
    }

    // A cancelled download from vantle-phone: its first piece is refused with -441, the phone
    // stops and sends no "TransferFinished"; the next download is the only one finished, and a
    // late notification of the cancelled item finishes nothing.
    void cancelledDownloadFromThePhone() {
        PhoneRig rig;
        QTemporaryDir pcStore, pcTemp;
        QVERIFY(rig.transfer.setStoreRootDir(pcStore.path()).ok());
        QVERIFY(rig.transfer.setTemporaryDir(pcTemp.path()).ok());
        QVERIFY(writeFile(rig.storePath(u"big.bin"_s), 3 * protocol::kChunkSize, 'b'));
        QVERIFY(writeFile(rig.storePath(u"small.txt"_s), 10, 's'));
        QVERIFY(rig.connect());
        Seen finished(notes::kTransferFinished);
        Seen progress(notes::kDownloadProgress);

        rig.transfer.cancelDownloadOperation();
        QVERIFY(onWorker([&] { return rig.transfer.requestRemoteFile(u"/big.bin"_s); }));
        QTRY_VERIFY_WITH_TIMEOUT(!progress.notes.empty(), kWorkerLimitMs);
        QVERIFY(!progress.notes.back().userInfo.isValid());
        QCOMPARE(QFileInfo(pcTemp.filePath(u"big.bin"_s)).size(), protocol::kChunkSize);

        rig.transfer.resetDownloadOperation();
        QVERIFY(onWorker([&] { return rig.transfer.requestRemoteFile(u"/small.txt"_s); }));
        QTRY_COMPARE_WITH_TIMEOUT(finished.notes.size(), std::size_t(1), kWorkerLimitMs);
        QCOMPARE(
            finished.notes[0].userInfo.toMap().value(keys::kNoteInfo).toMap().value(keys::kPath),
            QVariant(u"small.txt"_s));
        QVERIFY(!rig.transfer.finishDownload(u"big.bin"_s).ok());
        const Result<QString> final = rig.transfer.finishDownload(u"small.txt"_s);
        QVERIFY2(final.ok(), qPrintable(final.error()));
        QCOMPARE(readBytes(*final), readBytes(rig.storePath(u"small.txt"_s)));
        QVERIFY(!QFileInfo::exists(pcStore.filePath(u"big.bin"_s)));
    }
};

QTEST_MAIN(IncomingTest)
#include "tst_incoming.moc"
