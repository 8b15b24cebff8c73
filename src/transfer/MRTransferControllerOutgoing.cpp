// The PC's requests to the phone, each turned into a plain result.
#include "support/ParoxLog.h"
#include "transfer/ClientServerController.h"
#include "transfer/MRTransferController.h"
#include "transfer/ProtocolKeys.h"
#include "transfer/Requests.h"

namespace vantle {
namespace {

QString withForwardSlashes(QString path) {
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

} // namespace

int MRTransferController::askClientForVersionAndInfo(QString* appName, bool* allowUpload) {
    // The window waits for it before any upload: a phone that stays silent is given up on soon.
    const std::optional<QVariantMap> answer =
        send(VersionCheckRequest{protocol::kProtocolVersion}.encode(), ResponseLimit::Short);
    if (!answer) return -1;
    const VersionCheckResponse response = VersionCheckResponse::decode(*answer);
    if (appName && response.clientAppName) *appName = *response.clientAppName;
    if (allowUpload) *allowUpload = response.uploadsAllowed();
    return response.version();
}

std::optional<QStringList> MRTransferController::getDirectoryListing(const QString& path) {
    const std::optional<QVariantMap> answer = send(DirectoryListRequest{path}.encode());
    if (!answer) return QStringList();
    return DirectoryListResponse::decode(*answer).listing;
}

std::optional<QMap<QString, ListingEntry>>
MRTransferController::getDirectoryListingPlus(const QString& path) {
    const std::optional<QVariantMap> answer = send(DirectoryListRequest{path}.encode());
    if (!answer) return QMap<QString, ListingEntry>();
    return DirectoryListResponse::decode(*answer).listingPlus;
}

std::optional<QMap<QString, IconAndSize>>
MRTransferController::getIconsAndSizes(const QStringList& paths) {
    if (paths.size() <= kMaxPathsPerIconsRequest) return getIconsAndSizesBatch(paths);
    QMap<QString, IconAndSize> merged;
    for (qsizetype first = 0; first < paths.size(); first += kMaxPathsPerIconsRequest) {
        const std::optional<QMap<QString, IconAndSize>> batch =
            getIconsAndSizesBatch(paths.mid(first, kMaxPathsPerIconsRequest));
        if (!batch) {
            // An answer without the dictionary stands for the whole list.
            ParoxLog("getIconsAndSizes: answer without IconsAndSizes for paths from %d", first);
            return std::nullopt;
        }
        merged.insert(*batch);
    }
    return merged;
}

std::optional<QMap<QString, IconAndSize>>
MRTransferController::getIconsAndSizesBatch(const QStringList& paths) {
    const std::optional<QVariantMap> answer = send(GetIconsAndSizesRequest{paths}.encode());
    if (!answer) return QMap<QString, IconAndSize>();
    return GetIconsAndSizesResponse::decode(*answer).iconsAndSizes;
}

bool MRTransferController::fileExists(const QString& path, bool* isDirectory) {
    return nameOnPhone(path, isDirectory) == NameOnPhone::Taken;
}

MRTransferController::NameOnPhone MRTransferController::nameOnPhone(const QString& path,
                                                                    bool* isDirectory) {
    const std::optional<QVariantMap> answer = send(FileExistsRequest{path}.encode());
    // A request that could not even be sent comes back as a failure of our own making, with
    // no "Exists" in it: that is no answer either.
    if (!answer || answer->value(keys::kErrorCode).toLongLong() == protocol::kCannotSend)
        return NameOnPhone::NoAnswer;
    const FileExistsResponse response = FileExistsResponse::decode(*answer);
    if (isDirectory) *isDirectory = response.isDirectory;
    return response.exists ? NameOnPhone::Taken : NameOnPhone::Free;
}

bool MRTransferController::requestRemoteFile(const QString& path) {
    // Before asking: the phone may start sending before the answer is read.
    expectDownload(path);
    const std::optional<QVariantMap> answer = send(RequestFileRequest{path}.encode());
    return answer && SuccessResponse::decode(*answer).success;
}

bool MRTransferController::removeFile(const QString& path) {
    const std::optional<QVariantMap> answer = send(RemoveFileRequest{path}.encode());
    return answer && SuccessResponse::decode(*answer).success;
}

bool MRTransferController::createDirectory(const QString& path,
                                           const std::optional<QByteArray>& preview,
                                           const std::optional<QByteArray>& html) {
    const std::optional<QVariantMap> answer =
        send(CreateDirectoryRequest{withForwardSlashes(path), preview, html}.encode());
    return answer && SuccessResponse::decode(*answer).success;
}

bool MRTransferController::sendFileChunk(const QByteArray& data, const QString& path,
                                         std::int32_t chunkNum, bool last,
                                         const std::optional<QByteArray>& preview,
                                         const std::optional<QByteArray>& html,
                                         std::int32_t* error) {
    SendChunkRequest request;
    request.path = withForwardSlashes(path);
    ParoxLog("sendFileChunk: %@ of size %d", request.path, data.size());
    if (error) *error = protocol::kNoError;
    request.chunkData = data;
    request.chunkNum = chunkNum;
    request.lastChunk = last;
    request.previewTIFF = preview;
    request.htmlSubstitute = html;
    request.totalBytes = static_cast<qint64>(mTotalBytes.load());
    request.currentBytes = static_cast<qint64>(mBytesTransferred.load());
    request.baseFileName = mBaseFile;

    const std::optional<QVariantMap> answer = send(request.encode());
    request.chunkData.clear(); // the piece's buffer is the caller's again

    // Fast pieces would flood the main thread: progress goes out a few times a second, and
    // always for the last piece and for a piece that failed.
    if (request.baseFileName && mUploadProgress.due(last || !answer)) {
        postNotificationNameAfterDelay(
            QString(notes::kUploadProgress), QVariant(),
            QVariantList{*request.totalBytes, *request.currentBytes, *request.baseFileName});
    }
    if (!answer) {
        if (error) *error = protocol::kNoAnswer;
        return false;
    }
    const SendChunkResponse response = SendChunkResponse::decode(*answer);
    if (!response.success) {
        ParoxLog("unsuccess");
        if (error) *error = response.errorCode.value_or(protocol::kFailedWithoutCode);
    }
    return response.success;
}

bool MRTransferController::sendNotification(const QString& name,
                                            const std::optional<QVariantMap>& userInfo) {
    if (!connected()) {
        ParoxLog("sendNotification %@ when not connected", name);
        return false;
    }
    const std::optional<QVariantMap> answer =
        send(NotifyRequest{name, userInfo.value_or(QVariantMap())}.encode());
    return answer && SuccessResponse::decode(*answer).success;
}

} // namespace vantle
