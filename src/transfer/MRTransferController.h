#pragma once

#include "platform/Result.h"
#include "transfer/ConnectionTag.h"
#include "transfer/PieceFile.h"
#include "transfer/ProgressPacer.h"
#include "transfer/RequestDispatcher.h"
#include "transfer/ResponseSlot.h"
#include "transfer/Responses.h"
#include "transfer/TransferTimeouts.h"

#include <QByteArray>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

namespace vantle {

class ClientServerController;
class UploadSource;
struct CreateDirectoryRequest;
struct SendChunkRequest;

// Where a path of an upload stands: the queued item itself, or something inside it. What cannot
// go fails a queued item; inside a folder it is left out instead.
enum class UploadLevel { Queued, InFolder };

// Most paths one "GetIconsAndSizes" asks about, so that answers with thumbnails stay far below the
// frame limit; longer lists go in several requests whose answers are merged.
inline constexpr int kMaxPathsPerIconsRequest = 500;

// The PC's operations on the phone (one request, one answer, a plain result) and its answers to
// the phone's requests. Owns the response slot that the client-server controller fills. The
// operations block their calling thread and never run on the network thread; the dispatch runs
// there.
class MRTransferController : public RequestDispatcher {
public:
    // The store and the temporary area default to the user's "Vantle" folder and a private folder
    // of the program's own; `setStoreRootDir` and `setTemporaryDir` choose others (before use).
    explicit MRTransferController(const TransferTimeouts& timeouts = {});
    ~MRTransferController() override;
    MRTransferController(const MRTransferController&) = delete;
    MRTransferController& operator=(const MRTransferController&) = delete;

    // Not owned; must outlive the controller or be unset first.
    void setClientServerController(ClientServerController* controller);
    // The slot the client-server controller is made with.
    ResponseSlot& responseSlot() { return mResponse; }

    // --- Response slot (any thread; setResponse on the network thread) ---
    std::optional<QVariantMap> waitForResponse(std::int32_t requestNum);
    void setResponse(const QVariantMap& response);
    bool waitingForResponse() const { return mResponse.waitingForResponse(); }

    // --- Outgoing operations (any thread but the network thread) ---
    // The phone's protocol version; 256 for an answer that only says "Good"; -1 without answer or
    // version. The out values are left untouched without an answer; `appName` also when the
    // answer names no application; `allowUpload` is true when the answer does not say. Waits the
    // short limit for the answer on any thread.
    int askClientForVersionAndInfo(QString* appName, bool* allowUpload);
    // The entry names; none when the answer lacks them; empty without an answer.
    std::optional<QStringList> getDirectoryListing(const QString& path);
    std::optional<QMap<QString, ListingEntry>> getDirectoryListingPlus(const QString& path);
    // Keyed by the paths as asked; none when an answer lacks them; empty without an answer.
    std::optional<QMap<QString, IconAndSize>> getIconsAndSizes(const QStringList& paths);
    // False without an answer, `isDirectory` then untouched.
    bool fileExists(const QString& path, bool* isDirectory = nullptr);
    // The same, telling a free name from one the phone said nothing about.
    enum class NameOnPhone { Free, Taken, NoAnswer };
    NameOnPhone nameOnPhone(const QString& path, bool* isDirectory = nullptr);
    bool requestRemoteFile(const QString& path);
    bool removeFile(const QString& path);
    bool createDirectory(const QString& path, const std::optional<QByteArray>& preview = {},
                         const std::optional<QByteArray>& html = {});
    // One piece of the upload in progress; `error` receives 0, the phone's code, -997 for a
    // failure without a code, or -998 without an answer.
    bool sendFileChunk(const QByteArray& data, const QString& path, std::int32_t chunkNum,
                       bool last, const std::optional<QByteArray>& preview,
                       const std::optional<QByteArray>& html, std::int32_t* error = nullptr);
    // False at once when no phone is connected.
    bool sendNotification(const QString& name, const std::optional<QVariantMap>& userInfo = {});

    // --- Uploads (one at a time, on one thread; cancel and progress from any thread) ---
    // A file, folder or package to `phonePath`; a protocol::ErrorCode (0 on success). `total`, the
    // bytes it sends, when the caller has measured them already (a folder is walked once).
    std::int32_t uploadFile(const QString& localPath, const QString& phonePath,
                            std::optional<quint64> total = std::nullopt);
    // The first of "name-1", "name-2"... (before the extension) that the phone says is free, for
    // an item the user wants stored under a name of its own. The upload to it still checks the
    // name, so an item that took it meanwhile is not written over.
    Result<QString> firstFreeNameOnPhone(const QString& name);
    void resetUploadOperation();
    void cancelUploadOperation();
    bool uploadCancelled() const { return mStopUpload.load(); }
    void resetDownloadOperation();
    void cancelDownloadOperation();
    bool downloadCancelled() const { return mDownloadState.load() == DownloadState::Cancelled; }
    // Ends the download under way as failed when nothing of it has arrived for the silence limit
    // (TransferTimeouts::downloadSilence); called now and then on the main thread.
    void endSilentDownload();
    quint64 bytesTransferred() const { return mBytesTransferred.load(); }
    quint64 totalBytes() const { return mTotalBytes.load(); }
    // Whether this upload has asked the phone to store anything under the item's name since it
    // found the name free (or was told to use it as its own): only then is what is there ours.
    bool uploadCreatedOnPhone() const { return mCreatedOnPhone.load(); }
    QString currentFile() const;

    // --- The PC's store and downloads ---
    // Creates the folder when missing.
    Result<void> setStoreRootDir(const QString& folder);
    QString rootDir() const;
    // Where incoming items wait until they are finished; created when missing.
    Result<void> setTemporaryDir(const QString& folder);
    QString temporaryDir() const;
    void setDefaultThumbnail(const QString& path);
    // At start-up: removes what earlier runs left in the temporary area, everything in it not
    // written to for `untouched` (a live download of another process writes more often).
    void clearTemporaryArea(std::chrono::milliseconds untouched);
    // As the process ends: its own temporary area goes when nothing is left in it (what a
    // download under way left goes at a later start, once this process has ended).
    void releaseTemporaryArea();
    // How many bytes a folder's file system has free for us (tests stand in for a full disk).
    using FreeBytesProbe = std::function<qint64(const QString& folder)>; // as store::FreeBytes
    void setFreeBytesProbe(FreeBytesProbe probe);
    // The first component of the item the phone wrote last; none before any.
    std::optional<QString> lastDownloadRoot() const;
    // Moves the finished item `name` (top-level, as the phone named it) from the temporary area
    // to a free name in `destination`, or in the store without one; the final path. Refused when
    // `name` is not the item asked for last by requestRemoteFile, or that download was cancelled.
    // Any thread: across file systems the move is a copy as long as the item.
    Result<QString> finishDownload(const QString& name,
                                   const std::optional<QString>& destination = std::nullopt);
    // Any thread: a finishDownload copying now, or later, stops and leaves nothing at the
    // destination (the program is ending).
    void stopFinishing() { mStopFinishing = true; }
    // Also asked between the blocks of a finishing copy (tests watch and pace it there).
    void setFinishCopyStep(std::function<bool()> step);

    // --- The phone's requests (network thread) ---
    std::optional<QVariantMap> dispatchRequest(const QVariantMap& request) override;
    // The response body for a request that carries a number.
    QVariantMap doDispatchRequest(const QVariantMap& request);

private:
    std::optional<QVariantMap> send(const QVariantMap& request,
                                    ResponseLimit limit = ResponseLimit::OfThread);
    bool connected() const;
    void postNotificationNameAfterDelay(const QString& name, const QVariant& object,
                                        const QVariant& userInfo);
    std::optional<QMap<QString, IconAndSize>> getIconsAndSizesBatch(const QStringList& paths);

    QVariantMap versionCheckRequest(const QVariantMap& request);
    QVariantMap getDirectoryListingRequest(const QVariantMap& request);
    QVariantMap fileExistsRequest(const QVariantMap& request);
    QVariantMap createDirectoryRequest(const QVariantMap& request);
    QVariantMap sendChunkRequest(const QVariantMap& request);
    // Writes one piece into the temporary area `area`; why not, as the user is told, when it was
    // not stored whole.
    Result<void> storePiece(const QString& area, const SendChunkRequest& piece, bool stopped);
    // A request of the download under way was refused for `why`: the download ends.
    void refuseDownloadRequest(const QString& why);
    // Ends the download under way: what arrived of it goes, "DownloadFailed" tells `why`.
    void failDownload(const QString& why);
    // Removes what arrived of the top-level item `item` in the temporary area.
    void removePartial(const std::optional<QString>& item);
    void heardFromDownload();
    Result<void> makeDownloadFolder(const CreateDirectoryRequest& request);
    QVariantMap removeFileRequest(const QVariantMap& request, bool notify);
    QVariantMap getIconsAndSizesRequest(const QVariantMap& request);
    QVariantMap requestFileRequest(const QVariantMap& request);
    void noteFileWritten(const QString& name);
    // The item requestRemoteFile asks for is the download under way.
    void expectDownload(const QString& phonePath);
    // Whether the download note `name` (about `item`, when it names one) from the phone whose
    // request is being answered is about the download under way; logs why not.
    bool isAboutTheDownload(const QString& name, const std::optional<QString>& item) const;
    // The folders, made on first use when not set.
    Result<QString> storeRoot() const;
    Result<QString> tempRoot() const;
    Result<void> keepFolder(const QString& folder, std::optional<QString>& kept, const char* what);
    Result<QString> folderOrDefault(std::optional<QString>& kept,
                                    Result<QString> (*makeDefault)()) const;
    QVariantMap notifyRequest(const QVariantMap& request);

    std::int32_t uploadDir(const QString& localPath, const QString& phonePath, UploadLevel level);
    std::int32_t _uploadFile(const QString& localPath, const QString& phonePath, UploadLevel level);
    std::int32_t sendFilePieces(const QString& localPath, const QString& source, UploadSource& file,
                                const QString& remoteName);
    void setCurrentFile(const QString& name);

    ResponseSlot mResponse;
    std::atomic<ClientServerController*> mClientServerController{nullptr};

    std::atomic<bool> mStopUpload{false};
    // Cancelled by the user, or failed: every further piece is refused.
    // Finishing: the phone said it is done and the item is being moved into place.
    enum class DownloadState { Open, Cancelled, Failed, Finishing };
    std::atomic<DownloadState> mDownloadState{DownloadState::Open};
    // When the download under way last heard from the phone (steady clock, ms); its limit.
    std::atomic<qint64> mDownloadHeardMs{0};
    std::chrono::milliseconds mDownloadSilence;
    std::atomic<quint64> mBytesTransferred{0};
    std::atomic<quint64> mTotalBytes{0};
    std::atomic<bool> mCreatedOnPhone{false};
    std::atomic<bool> mStopFinishing{false};
    std::function<bool()> mFinishCopyStep; // behind mStoreLock
    FreeBytesProbe mFreeBytes;             // behind mStoreLock
    std::optional<QString> mBaseFile;      // the upload thread's own
    mutable std::mutex mCurrentFileLock;
    QString mCurrentFile;
    // One piece of a file; kept between pieces and files so memory stays flat in file size.
    QByteArray mChunkBuffer;

    // Set at start-up or by tests, read on the network thread: behind a lock.
    mutable std::mutex mStoreLock;
    mutable std::optional<QString> mRootDir;
    mutable std::optional<QString> mTempDir;
    std::optional<QString> mDefaultThumb;
    // Written on the network thread, read on the main thread.
    std::optional<QString> mLastFileWritten;
    // The top-level name of the item requestRemoteFile asked for; none when no download is under
    // way (also after a cancel or once finished).
    std::optional<QString> mDownloadItem;
    // The connection requestRemoteFile asked on; kept through a cancel (the refused piece that
    // ends the download comes on it), none once the download has been reset.
    std::optional<ConnectionTag> mDownloadConnection;

    // The upload thread's own.
    ProgressPacer mUploadProgress;
    // The network thread's own.
    ProgressPacer mDownloadProgress;
    // The file the current download's pieces go to.
    PieceFile mPieceFile;
};

} // namespace vantle

// The object of the notifications the phone's "Notify" posts.
Q_DECLARE_METATYPE(vantle::MRTransferController*)
