// The response slot, the state of the transfer controller, and the answers to the phone's
// requests.
#include "transfer/MRTransferController.h"

#include "net/GamePeer.h"
#include "support/ParoxLog.h"
#include "transfer/ClientServerController.h"
#include "transfer/MessageEnvelope.h"
#include "transfer/ProtocolKeys.h"
#include "transfer/Requests.h"

#include <QVariant>
#include <algorithm>
#include <array>

namespace vantle {
namespace {

// The notifications the phone may send the PC.
constexpr std::array kAcceptedNotifications{notes::kConnectionAllowed, notes::kConnectionDenied,
                                            notes::kServerListingChanged, notes::kTransferFinished};

QVariantMap failure() {
    return QVariantMap{{keys::kSuccess, false}};
}

// The item a notification's user info names ("Path"), if it names one.
std::optional<QString> namedItem(const std::optional<QVariantMap>& userInfo) {
    if (!userInfo) return std::nullopt;
    const QVariant path = userInfo->value(keys::kPath);
    if (path.typeId() != QMetaType::QString) return std::nullopt;
    return path.toString();
}

// The limit, unless the environment asks for a shorter one.
std::chrono::milliseconds downloadSilence(std::chrono::milliseconds limit) {
    bool ok = false;
    const qint64 asked = qEnvironmentVariable(kDownloadSilenceVariable).toLongLong(&ok);
    return ok && asked > 0 && asked < limit.count() ? std::chrono::milliseconds(asked) : limit;
}

} // namespace

MRTransferController::MRTransferController(const TransferTimeouts& timeouts)
    : mResponse(timeouts), mDownloadSilence(downloadSilence(timeouts.downloadSilence)) {}

MRTransferController::~MRTransferController() = default;

void MRTransferController::setClientServerController(ClientServerController* controller) {
    mClientServerController = controller;
}

bool MRTransferController::connected() const {
    ClientServerController* controller = mClientServerController.load();
    return controller && controller->connected();
}

std::optional<QVariantMap> MRTransferController::send(const QVariantMap& request,
                                                      ResponseLimit limit) {
    ClientServerController* controller = mClientServerController.load();
    if (!controller) {
        ParoxLog("sendRequest for %@ without a client-server controller",
                 request.value(keys::kRequestType));
        return std::nullopt;
    }
    return controller->sendRequest(request, limit);
}

void MRTransferController::postNotificationNameAfterDelay(const QString& name,
                                                          const QVariant& object,
                                                          const QVariant& userInfo) {
    if (ClientServerController* controller = mClientServerController.load())
        controller->postNotificationNameAfterDelay(name, object, userInfo);
    else
        ParoxLog("postNotificationNameAfterDelay for %@ dropped: no client-server controller",
                 name);
}

std::optional<QVariantMap> MRTransferController::waitForResponse(std::int32_t requestNum) {
    return mResponse.waitForResponse(requestNum, [this] { return connected(); });
}

void MRTransferController::setResponse(const QVariantMap& response) {
    mResponse.setResponse(response);
}

void MRTransferController::resetUploadOperation() {
    mTotalBytes = 0;
    mBytesTransferred = 0;
    setCurrentFile(QString());
    mBaseFile.reset();
    mStopUpload = false;
    mCreatedOnPhone = false;
}

void MRTransferController::cancelUploadOperation() {
    ParoxLog("cancelUploadOperation");
    mStopUpload = true;
}

QString MRTransferController::currentFile() const {
    std::lock_guard lock(mCurrentFileLock);
    return mCurrentFile;
}

void MRTransferController::setCurrentFile(const QString& name) {
    std::lock_guard lock(mCurrentFileLock);
    mCurrentFile = name;
}

std::optional<QVariantMap> MRTransferController::dispatchRequest(const QVariantMap& request) {
    const Envelope envelope = Envelope::decode(request);
    if (!envelope.requestNum) return std::nullopt;
    QVariantMap response = doDispatchRequest(request);
    addResponseEnvelope(response, *envelope.requestNum);
    return response;
}

QVariantMap MRTransferController::doDispatchRequest(const QVariantMap& request) {
    const Envelope envelope = Envelope::decode(request);
    if (envelope.requestType != RequestType::SendChunk) {
        ParoxLog("----> got the request %@", envelope.requestTypeName);
        // Anything else may change the temporary area or end the download.
        mPieceFile.close();
    }
    switch (envelope.requestType) {
    case RequestType::VersionCheck:
        return versionCheckRequest(request);
    case RequestType::Notify:
        return notifyRequest(request);
    case RequestType::DirectoryList:
        return getDirectoryListingRequest(request);
    case RequestType::FileExists:
        return fileExistsRequest(request);
    case RequestType::CreateDirectory:
        return createDirectoryRequest(request);
    case RequestType::SendChunk:
        return sendChunkRequest(request);
    case RequestType::RemoveFile:
        return removeFileRequest(request, true);
    case RequestType::GetIconsAndSizes:
        return getIconsAndSizesRequest(request);
    case RequestType::RequestFile:
        return requestFileRequest(request);
    default:
        return unhandledRequestResponse();
    }
}

QVariantMap MRTransferController::versionCheckRequest(const QVariantMap& request) {
    const Result<VersionCheckRequest> decoded = VersionCheckRequest::decode(request);
    if (!decoded) {
        ParoxLog("VersionCheck refused: %@", decoded.error());
        return failure();
    }
    ParoxLog("serverVersionNum: %d", decoded->serverVersion);
    return QVariantMap{{keys::kClientVersion, protocol::kProtocolVersion}};
}

QVariantMap MRTransferController::notifyRequest(const QVariantMap& request) {
    const Result<NotifyRequest> decoded = NotifyRequest::decode(request);
    if (!decoded) {
        ParoxLog("Notify refused: %@", decoded.error());
        return failure();
    }
    ParoxLog("getting peer address");
    ClientServerController* controller = mClientServerController.load();
    const std::shared_ptr<GamePeer> peer = controller ? controller->peer() : nullptr;
    const std::optional<QString> address = peer ? peer->address() : std::nullopt;
    ParoxLog("got peer address");

    // Filled in order; the first missing value ends it.
    QVariantMap userInfo;
    const std::optional<QString> name = peer ? peer->name() : std::nullopt;
    if (name) {
        userInfo.insert(keys::kDeviceName, *name);
        if (address) {
            userInfo.insert(keys::kPhoneIP, *address);
            if (decoded->userInfo) userInfo.insert(keys::kNoteInfo, *decoded->userInfo);
        }
    }

    const QString& note = decoded->notification;
    const bool accepted = std::find(kAcceptedNotifications.begin(), kAcceptedNotifications.end(),
                                    note) != kAcceptedNotifications.end();
    if (!accepted) {
        ParoxLog("notification %@ not accepted", note);
        return failure();
    }
    ParoxLog("received notification: %@", note);
    // Answered all the same: the phone has nothing to do about it.
    // Cancelled after its last piece, a download has no refused piece to end it: its finish does,
    // the way a refused piece ends one (the progress display resets).
    if (note == notes::kTransferFinished && mDownloadState.load() == DownloadState::Cancelled) {
        if (isAboutTheDownload(note, std::nullopt))
            postNotificationNameAfterDelay(QString(notes::kDownloadProgress), QVariant(),
                                           QVariant());
        return QVariantMap{{keys::kSuccess, true}};
    }
    // A failed download has already ended, whatever the phone says of it.
    if (note == notes::kTransferFinished &&
        (mDownloadState.load() == DownloadState::Failed ||
         mDownloadState.load() == DownloadState::Finishing ||
         !isAboutTheDownload(note, namedItem(decoded->userInfo))))
        return QVariantMap{{keys::kSuccess, true}};
    postNotificationNameAfterDelay(note, QVariant::fromValue(this), userInfo);
    return QVariantMap{{keys::kSuccess, true}};
}

} // namespace vantle
