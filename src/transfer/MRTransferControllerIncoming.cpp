// The answers to the phone's questions about the PC's store, and the download store: items the
// phone sends wait in the temporary area until finishDownload moves them into place.
#include "files/FSNodeInfo.h"
#include "files/FileSize.h"
#include "files/VantleUtilities.h"
#include "support/ParoxLog.h"
#include "transfer/ClientServerController.h"
#include "transfer/DownloadStore.h"
#include "transfer/MRTransferController.h"
#include "transfer/ProtocolKeys.h"
#include "transfer/Requests.h"
#include "transfer/StorePaths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStorageInfo>
#include <QVariantList>
#include <cerrno>
#include <cstring>
#include <functional>
#include <signal.h>

namespace vantle {
namespace {

QVariantMap successAnswer(bool success) {
    return SuccessResponse{success, std::nullopt}.encode();
}

// A path that the program itself made from one in `root` (a thumbnail beside an item, say),
// checked like one the phone sent: it may not lead out of `root` through a link.
Result<QString> besideInFolder(const QString& root, const QString& absolute, PathUse use) {
    const QString relative = QDir(root).relativeFilePath(absolute);
    if (relative == QLatin1String("..") || relative.startsWith(QLatin1String("../")) ||
        QDir::isAbsolutePath(relative))
        return Result<QString>::failure(QStringLiteral("%1 is not in %2").arg(absolute, root));
    return resolveInFolder(root, relative, use);
}

bool sameFolder(const QString& a, const QString& b) {
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

// The top-level item a phone path names, as the download under way is kept.
std::optional<QString> itemNamed(const QString& phonePath) {
    const Result<QStringList> names = phonePathNames(removeBackslashesFromName(phonePath));
    if (!names || names->isEmpty()) return std::nullopt;
    return names->last();
}

// What is left of the item from this piece on, when the phone says how big it is.
qint64 restOfItem(const SendChunkRequest& piece) {
    return piece.totalBytes ? *piece.totalBytes - piece.currentBytes.value_or(0) : qint64{0};
}

// What the user is told about a piece the PC could not store: the system's reason and the name,
// for a full disk how much the rest of the download needs and how much is free.
QString pieceFailure(int code, const QString& fallback, const SendChunkRequest& piece,
                     const QString& area, const MRTransferController::FreeBytesProbe& freeBytes) {
    if (code == 0) return fallback;
    if (code != ENOSPC)
        return QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(std::strerror(code)),
                                            piece.path);
    return store::noRoomText(qMax<qint64>(restOfItem(piece), piece.chunkData.size()),
                             freeBytes(area), area);
}

Result<QString> makeFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    if (!QDir().mkpath(clean) || !QFileInfo(clean).isDir())
        return Result<QString>::failure(QStringLiteral("cannot make the folder %1").arg(clean));
    return clean;
}

} // namespace

// --- The store and the temporary area ---

Result<void> MRTransferController::setStoreRootDir(const QString& folder) {
    return keepFolder(folder, mRootDir, "setStoreRootDir");
}

Result<void> MRTransferController::setTemporaryDir(const QString& folder) {
    mPieceFile.close();
    return keepFolder(folder, mTempDir, "setTemporaryDir");
}

Result<void> MRTransferController::keepFolder(const QString& folder, std::optional<QString>& kept,
                                              const char* what) {
    const Result<QString> made = makeFolder(folder);
    if (!made) {
        ParoxLog("%s: %@", what, made.error());
        return Result<void>::failure(made.error());
    }
    std::lock_guard lock(mStoreLock);
    kept = *made;
    return {};
}

Result<QString> MRTransferController::folderOrDefault(std::optional<QString>& kept,
                                                      Result<QString> (*makeDefault)()) const {
    std::lock_guard lock(mStoreLock);
    if (!kept) {
        const Result<QString> made = makeDefault();
        if (!made) {
            ParoxLog("no folder for the store or the temporary area: %@", made.error());
            return made;
        }
        kept = *made;
    }
    return *kept;
}

Result<QString> MRTransferController::storeRoot() const {
    return folderOrDefault(mRootDir, &storeFolder);
}

Result<QString> MRTransferController::tempRoot() const {
    return folderOrDefault(mTempDir, &temporaryArea);
}

QString MRTransferController::rootDir() const {
    const Result<QString> root = storeRoot();
    return root ? *root : QString();
}

QString MRTransferController::temporaryDir() const {
    const Result<QString> root = tempRoot();
    return root ? *root : QString();
}

void MRTransferController::setDefaultThumbnail(const QString& path) {
    std::lock_guard lock(mStoreLock);
    mDefaultThumb = path;
}

void MRTransferController::noteFileWritten(const QString& name) {
    std::lock_guard lock(mStoreLock);
    mLastFileWritten = name;
}

std::optional<QString> MRTransferController::lastDownloadRoot() const {
    std::optional<QString> last;
    {
        std::lock_guard lock(mStoreLock);
        last = mLastFileWritten;
    }
    if (!last) return std::nullopt;
    const Result<QStringList> names = phonePathNames(*last);
    if (!names || names->isEmpty()) return std::nullopt;
    return names->first();
}

void MRTransferController::resetDownloadOperation() {
    mPieceFile.close();
    bool cancelled = false;
    {
        std::lock_guard lock(mStoreLock);
        mDownloadItem.reset();
        mDownloadConnection.reset();
        cancelled = mDownloadState.exchange(DownloadState::Open) == DownloadState::Cancelled;
    }
    // What arrived of a cancelled item is no use; the phone has been told to stop sending it.
    if (cancelled) removePartial(lastDownloadRoot());
}

namespace {

// Removes what `folder` holds that `keep` does not want.
void removeLeftovers(const QString& folder, const std::function<bool(const QFileInfo&)>& keep) {
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QFileInfo entry(dir.filePath(name));
        if (keep(entry)) continue;
        ParoxLog("removing %@, left in the temporary area", name);
        if (const Result<void> gone = store::removeItem(entry.filePath()); !gone)
            ParoxLog("cannot remove %@: %@", name, gone.error());
    }
}

bool processRuns(qint64 pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

} // namespace

void MRTransferController::clearTemporaryArea(std::chrono::milliseconds untouched) {
    const Result<QString> area = tempRoot();
    if (!area) return;
    const QDateTime before = QDateTime::currentDateTime().addMSecs(-untouched.count());
    const auto recent = [&before](const QFileInfo& entry) {
        return entry.lastModified() >= before;
    };
    removeLeftovers(*area, recent);
    // Beside this process's own area in the shared one: the areas of processes that have ended,
    // and what older versions left there. Another running process's area is its own business.
    const Result<QString> shared = sharedTemporaryArea();
    const QFileInfo own(*area);
    if (!shared || own.absolutePath() != *shared) return;
    removeLeftovers(*shared, [&](const QFileInfo& entry) {
        if (entry.fileName() == own.fileName()) return true;
        if (const std::optional<qint64> pid = temporaryAreaProcess(entry.fileName()))
            return processRuns(*pid);
        return recent(entry);
    });
}

void MRTransferController::releaseTemporaryArea() {
    std::optional<QString> area;
    {
        std::lock_guard lock(mStoreLock);
        area = mTempDir;
    }
    if (area) removeEmptyTemporaryArea(*area);
}

void MRTransferController::removePartial(const std::optional<QString>& item) {
    const Result<QString> area = tempRoot();
    if (!item || !area) return;
    if (const Result<QString> temp = tempPathForFile(*area, *item, PathUse::Remove); temp)
        if (const Result<void> gone = store::removeItem(*temp); !gone)
            ParoxLog("cannot remove what arrived of %@: %@", *item, gone.error());
}

void MRTransferController::cancelDownloadOperation() {
    ParoxLog("cancelDownloadOperation");
    mPieceFile.close();
    std::lock_guard lock(mStoreLock);
    mDownloadItem.reset();
    mDownloadState = DownloadState::Cancelled;
}

void MRTransferController::setFreeBytesProbe(FreeBytesProbe probe) {
    std::lock_guard lock(mStoreLock);
    mFreeBytes = std::move(probe);
}

void MRTransferController::setFinishCopyStep(std::function<bool()> step) {
    std::lock_guard lock(mStoreLock);
    mFinishCopyStep = std::move(step);
}

void MRTransferController::heardFromDownload() {
    mDownloadHeardMs = QDateTime::currentMSecsSinceEpoch();
}

void MRTransferController::endSilentDownload() {
    std::optional<QString> item;
    {
        std::lock_guard lock(mStoreLock);
        // Moving it into place takes as long as it takes; the phone has nothing more to say.
        if (!mDownloadItem || mDownloadState.load() == DownloadState::Finishing) return;
        item = mDownloadItem;
    }
    const qint64 quiet = QDateTime::currentMSecsSinceEpoch() - mDownloadHeardMs.load();
    if (quiet < mDownloadSilence.count()) return;
    failDownload(QStringLiteral("nothing arrived of it for %1 seconds")
                     .arg(QString::number(double(mDownloadSilence.count()) / 1000.0)));
}

void MRTransferController::refuseDownloadRequest(const QString& why) {
    // A request of no download under way (a stray one, or one after a cancel) ends nothing.
    if (mDownloadState.load() != DownloadState::Open ||
        !isAboutTheDownload(QString(notes::kDownloadFailed), std::nullopt))
        return;
    failDownload(why);
}

void MRTransferController::failDownload(const QString& why) {
    mPieceFile.close();
    std::optional<QString> item;
    {
        std::lock_guard lock(mStoreLock);
        item = mDownloadItem;
        mDownloadItem.reset();
        mDownloadState = DownloadState::Failed;
    }
    ParoxLog("download of %@ failed: %@", item.value_or(QStringLiteral("nothing")), why);
    // Half an item is no use to anyone; the next download of the name would replace it anyway.
    removePartial(item);
    postNotificationNameAfterDelay(QString(notes::kDownloadFailed), QVariant(), why);
}

void MRTransferController::expectDownload(const QString& phonePath) {
    ClientServerController* controller = mClientServerController.load();
    const ConnectionTag asking(controller ? controller->peer() : nullptr);
    heardFromDownload();
    std::lock_guard lock(mStoreLock);
    mDownloadItem = itemNamed(phonePath);
    mDownloadConnection = asking;
}

bool MRTransferController::isAboutTheDownload(const QString& name,
                                              const std::optional<QString>& item) const {
    const std::shared_ptr<GamePeer> from = ClientServerController::answeringPeer();
    QString why;
    {
        std::lock_guard lock(mStoreLock);
        if (!mDownloadConnection)
            why = QStringLiteral("no download is under way");
        else if (!mDownloadConnection->isOf(from))
            why = QStringLiteral("the download was asked for on another connection");
        else if (item && (!mDownloadItem || itemNamed(*item) != mDownloadItem))
            why = QStringLiteral("%1 is not the download under way (%2)")
                      .arg(*item, mDownloadItem.value_or(QStringLiteral("none")));
    }
    if (why.isEmpty()) return true;
    ParoxLog("%@ ignored: %@", name, why);
    return false;
}

Result<QString> MRTransferController::finishDownload(const QString& name,
                                                     const std::optional<QString>& destination) {
    const QString item = removeBackslashesFromName(name);
    store::CopyStep step;
    FreeBytesProbe freeBytes = store::freeBytesIn;
    {
        std::lock_guard lock(mStoreLock);
        // A late "TransferFinished" of a cancelled download names another item, or comes when
        // none is under way.
        if (!mDownloadItem || *mDownloadItem != item) {
            const QString why =
                mDownloadItem
                    ? QStringLiteral("%1 is not the download under way (%2)")
                          .arg(item, *mDownloadItem)
                    : QStringLiteral("%1 finished, but no download is under way").arg(item);
            ParoxLog("finishDownload refused: %@", why);
            return Result<QString>::failure(why);
        }
        mDownloadState = DownloadState::Finishing;
        if (mFreeBytes) freeBytes = mFreeBytes;
        step = [this, watch = mFinishCopyStep] {
            return !mStopFinishing.load() && (!watch || watch());
        };
    }
    // Only while the item is on its way; a later download of the same controller starts open.
    const auto finished = qScopeGuard([this] {
        DownloadState finishing = DownloadState::Finishing;
        mDownloadState.compare_exchange_strong(finishing, DownloadState::Open);
    });
    // The item leaves the temporary area whole: no piece may land in it after this.
    mPieceFile.close();
    const Result<QStringList> names = phonePathNames(item);
    if (!names || names->size() != 1) {
        const QString why = names ? QStringLiteral("%1 is not one item").arg(item) : names.error();
        ParoxLog("finishDownload refused: %@", why);
        return Result<QString>::failure(why);
    }
    const Result<QString> area = tempRoot();
    if (!area) return area;
    const Result<QString> temp = tempPathForFile(*area, item, PathUse::Read);
    if (!temp) return temp;
    if (!store::itemExists(*temp)) {
        const QString why = QStringLiteral("nothing arrived for %1").arg(item);
        ParoxLog("finishDownload: %@", why);
        return Result<QString>::failure(why);
    }

    Result<QString> base = destination ? Result<QString>(*destination) : storeRoot();
    if (!base) return base;
    // A chosen folder may have gone since it was chosen: say so, rather than what a move into
    // nothing would say.
    if (destination)
        if (const Result<void> usable = store::checkWritableFolder(*destination); !usable) {
            ParoxLog("finishDownload: %@", usable.error());
            return Result<QString>::failure(usable.error());
        }
    const Result<QString> target =
        resolveInFolder(*base, item, PathUse::Write, PhoneNames::WindowsSafe);
    if (!target) {
        ParoxLog("finishDownload: %@", target.error());
        return target;
    }
    const Result<QString> final = uniquePathAtPath(*target, *base);
    if (!final) {
        ParoxLog("finishDownload: %@", final.error());
        return final;
    }
    ParoxLog("move %@ to %@", *temp, *final);
    if (const Result<void> moved = store::moveItem(*temp, *final, step, freeBytes); !moved) {
        ParoxLog("finishDownload: %@; the item stays in %@", moved.error(), *temp);
        return Result<QString>::failure(moved.error());
    }
    {
        std::lock_guard lock(mStoreLock);
        mDownloadItem.reset();
    }
    postNotificationNameAfterDelay(QString(notes::kListingChanged), QVariant(), *final);
    return *final;
}

// --- The handlers ---

QVariantMap MRTransferController::fileExistsRequest(const QVariantMap& request) {
    const Result<FileExistsRequest> decoded = FileExistsRequest::decode(request);
    const Result<QString> root = storeRoot();
    if (!decoded || !root) return FileExistsResponse{}.encode();
    const Result<QString> path = resolveInFolder(*root, decoded->path, PathUse::Read);
    if (!path) {
        ParoxLog("FileExists refused: %@", path.error());
        return FileExistsResponse{}.encode();
    }
    const QFileInfo info(*path);
    return FileExistsResponse{info.exists(), info.isDir()}.encode();
}

QVariantMap MRTransferController::getDirectoryListingRequest(const QVariantMap& request) {
    DirectoryListResponse answer;
    answer.listingPlus.emplace();
    const Result<DirectoryListRequest> decoded = DirectoryListRequest::decode(request);
    const Result<QString> root = storeRoot();
    if (!decoded || !root) return answer.encode();
    const Result<QString> path = resolveInFolder(*root, decoded->path, PathUse::Read);
    if (!path) {
        ParoxLog("DirectoryList refused: %@", path.error());
        return answer.encode();
    }
    const QDir folder(*path);
    if (!QFileInfo(*path).isDir() || !folder.isReadable()) return answer.encode();
    const QStringList names = folder.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    answer.listing = names;
    for (const QString& name : names) {
        if (name == VantleUtilities::kMetadataFolderName ||
            name == VantleUtilities::kThumbsFolderName)
            continue;
        // A link is no folder of the store, wherever it points.
        const QFileInfo entry(folder.filePath(name));
        answer.listingPlus->insert(name, ListingEntry{entry.isDir() && !entry.isSymLink()});
    }
    return answer.encode();
}

QVariantMap MRTransferController::getIconsAndSizesRequest(const QVariantMap& request) {
    const Result<GetIconsAndSizesRequest> decoded = GetIconsAndSizesRequest::decode(request);
    GetIconsAndSizesResponse answer;
    answer.iconsAndSizes.emplace();
    const Result<QString> root = storeRoot();
    if (!decoded || !root) return answer.encode();
    std::optional<QString> defaultThumb;
    {
        std::lock_guard lock(mStoreLock);
        defaultThumb = mDefaultThumb;
    }
    for (const QString& asked : decoded->paths) {
        IconAndSize entry;
        const Result<QString> path = resolveInFolder(*root, asked, PathUse::Read);
        if (path) {
            const Result<QString> thumb = besideInFolder(
                *root, VantleUtilities::thumbnailPathForPath(*path, true), PathUse::Read);
            if (thumb) entry.icon = store::readSmallFile(*thumb);
            entry.size = static_cast<qint64>(getSizeOfFileInBytes(*path));
        } else {
            ParoxLog("GetIconsAndSizes refused %@: %@", asked, path.error());
        }
        if (!entry.icon && defaultThumb) entry.icon = store::readSmallFile(*defaultThumb);
        answer.iconsAndSizes->insert(asked, entry);
    }
    return answer.encode();
}

QVariantMap MRTransferController::requestFileRequest(const QVariantMap& request) {
    const Result<RequestFileRequest> decoded = RequestFileRequest::decode(request);
    const Result<QString> root = storeRoot();
    if (!decoded || !root) return successAnswer(false);
    const Result<QString> path = resolveInFolder(*root, decoded->path, PathUse::Read);
    if (!path) {
        ParoxLog("RequestFile refused: %@", path.error());
        return successAnswer(false);
    }
    if (!store::itemExists(*path)) return successAnswer(false);
    postNotificationNameAfterDelay(QString(notes::kSendFile), QVariant(), *path);
    return successAnswer(true);
}

QVariantMap MRTransferController::removeFileRequest(const QVariantMap& request, bool notify) {
    const Result<RemoveFileRequest> decoded = RemoveFileRequest::decode(request);
    const Result<QString> root = storeRoot();
    if (!decoded || !root) return successAnswer(false);
    const Result<QString> path = resolveInFolder(*root, decoded->path, PathUse::Remove);
    if (!path) {
        ParoxLog("RemoveFile refused: %@", path.error());
        return successAnswer(false);
    }
    if (sameFolder(*path, *root)) {
        ParoxLog("RemoveFile refused: %@ is the store itself", decoded->path);
        return successAnswer(false);
    }
    const bool existed = store::itemExists(*path);
    const Result<void> removed = store::removeItem(*path);
    if (!removed) ParoxLog("RemoveFile: %@", removed.error());

    // Its companions, each checked like the item: a link among them goes, not what it names.
    const QString metaFolder =
        QFileInfo(VantleUtilities::thumbnailPathForPath(*path, false)).absolutePath();
    for (const QString& companion :
         {VantleUtilities::metaPathForPath(*path, true),
          VantleUtilities::thumbnailPathForPath(*path, true), metaFolder}) {
        const Result<QString> inside = besideInFolder(*root, companion, PathUse::Remove);
        if (!inside || !store::itemExists(*inside)) continue;
        if (const Result<void> gone = store::removeItem(*inside); !gone)
            ParoxLog("RemoveFile: %@", gone.error());
    }
    if (notify)
        postNotificationNameAfterDelay(QString(notes::kListingChanged), QVariant(), QVariant());
    return successAnswer(existed && removed.ok());
}

QVariantMap MRTransferController::createDirectoryRequest(const QVariantMap& request) {
    const Result<CreateDirectoryRequest> decoded = CreateDirectoryRequest::decode(request);
    const Result<void> made = decoded ? makeDownloadFolder(*decoded) : Error{decoded.error()};
    if (!made) {
        ParoxLog("CreateDirectory refused: %@", made.error());
        refuseDownloadRequest(made.error());
        return successAnswer(false);
    }
    heardFromDownload();
    return successAnswer(true);
}

Result<void> MRTransferController::makeDownloadFolder(const CreateDirectoryRequest& request) {
    const Result<QString> area = tempRoot();
    if (!area) return Error{area.error()};
    const Result<QString> temp = tempPathForFile(*area, request.path);
    if (!temp) return Error{temp.error()};
    if (sameFolder(*temp, *area))
        return Error{QStringLiteral("%1 names the temporary area").arg(request.path)};
    noteFileWritten(removeBackslashesFromName(request.path));
    if (const Result<void> removed = store::removeItem(*temp); !removed) return removed;
    if (!QDir().mkdir(*temp))
        return Error{QStringLiteral("cannot make the folder %1").arg(request.path)};
    store::writeThumbnailAndMetadataForFile(*temp, request.previewTIFF, request.htmlSubstitute);
    return {};
}

QVariantMap MRTransferController::sendChunkRequest(const QVariantMap& request) {
    const Result<SendChunkRequest> decoded = SendChunkRequest::decode(request);
    const Result<QString> area = tempRoot();
    const DownloadState state = mDownloadState.load();
    // A failed or finished download is over: nothing more of it is written.
    if (state == DownloadState::Failed || state == DownloadState::Finishing)
        return successAnswer(false);
    const bool stopped = state == DownloadState::Cancelled;
    Result<void> stored = !decoded ? Result<void>(Error{decoded.error()})
                          : !area  ? Result<void>(Error{area.error()})
                                   : storePiece(*area, *decoded, stopped);
    if (!stored) {
        ParoxLog("SendChunk refused: %@", stored.error());
        refuseDownloadRequest(stored.error());
    } else {
        heardFromDownload();
    }
    if (stopped) {
        // The progress display resets.
        if (isAboutTheDownload(QString(notes::kDownloadProgress), std::nullopt))
            postNotificationNameAfterDelay(QString(notes::kDownloadProgress), QVariant(),
                                           QVariant());
        return SuccessResponse{false, protocol::kDownloadCancelled}.encode();
    }
    return successAnswer(stored.ok());
}

Result<void> MRTransferController::storePiece(const QString& area, const SendChunkRequest& piece,
                                              bool stopped) {
    // The next piece of the file being written goes straight into it: its path was checked when
    // it was opened. The first piece starts the file afresh.
    const bool continuing = piece.chunkNum != 0 && mPieceFile.holds(area, piece.path);
    const bool companions = piece.previewTIFF || piece.htmlSubstitute;
    std::optional<QString> temp;
    if (!continuing || companions) {
        const Result<QString> resolved = tempPathForFile(area, piece.path);
        if (!resolved || sameFolder(*resolved, area)) {
            mPieceFile.close();
            return Error{resolved ? QStringLiteral("%1 names the temporary area").arg(piece.path)
                                  : resolved.error()};
        }
        temp = *resolved;
    }
    noteFileWritten(removeBackslashesFromName(piece.path));
    ParoxLog("received chunk %d (%d bytes) from %@ (temp: %@)", piece.chunkNum,
             piece.chunkData.size(), piece.path, temp.value_or(QStringLiteral("the open file")));
    FreeBytesProbe freeBytes = store::freeBytesIn;
    {
        std::lock_guard lock(mStoreLock);
        if (mFreeBytes) freeBytes = mFreeBytes;
    }
    Result<void> stored;
    // An item that cannot fit ends before anything of it is written.
    if (piece.chunkNum == 0 && freeBytes(area) < restOfItem(piece)) {
        mPieceFile.close();
        return Error{pieceFailure(ENOSPC, {}, piece, area, freeBytes)};
    }
    if (!continuing) {
        mPieceFile.close();
        const Result<void> cleared =
            piece.chunkNum == 0 ? store::removeItem(*temp) : Result<void>();
        const Result<void> opened = cleared ? mPieceFile.open(area, piece.path, *temp) : cleared;
        if (!opened) {
            ParoxLog("fopen (%@) fails: %@", *temp, opened.error());
            stored = Error{
                pieceFailure(mPieceFile.lastErrorCode(), opened.error(), piece, area, freeBytes)};
        }
    }
    if (stored && (continuing || mPieceFile.holds(area, piece.path))) {
        const Result<void> written = mPieceFile.append(piece.chunkData);
        if (!written) {
            ParoxLog("fwrite (%@) to short: %@", piece.path, written.error());
            stored = Error{
                pieceFailure(mPieceFile.lastErrorCode(), written.error(), piece, area, freeBytes)};
        }
    }
    if (temp)
        store::writeThumbnailAndMetadataForFile(*temp, piece.previewTIFF, piece.htmlSubstitute);
    // Fast pieces would flood the main thread; an item's last piece always shows.
    const bool lastOfItem = piece.totalBytes && piece.currentBytes &&
                            *piece.currentBytes + piece.chunkData.size() == *piece.totalBytes;
    if (piece.totalBytes && piece.currentBytes && piece.baseFileName && !stopped &&
        mDownloadProgress.due(lastOfItem) &&
        isAboutTheDownload(QString(notes::kDownloadProgress), *piece.baseFileName))
        postNotificationNameAfterDelay(
            QString(notes::kDownloadProgress), QVariant(),
            QVariantList{*piece.totalBytes, *piece.currentBytes, *piece.baseFileName});
    return stored;
}

} // namespace vantle
