// The upload worker: what a dropped upload left on the phone, the item's name there, the
// upload itself and the clean-up of what a failure wrote. Runs off the main thread.
#include "app/QueueDataSource.h"
#include "app/upload/UploadFlow.h"
#include "files/FSNodeInfo.h"
#include "files/FileSize.h"
#include "net/GamePeer.h"
#include "platform/MainThread.h"
#include "support/ParoxLog.h"
#include "transfer/ClientServerController.h"
#include "transfer/MRTransferController.h"
#include "transfer/ProtocolKeys.h"

#include <QFileInfo>
#include <algorithm>
#include <limits>

namespace vantle {

void UploadFlow::startUploadWorker(const std::shared_ptr<FSNodeInfo>& node) {
    QStringList queued;
    for (const FSNodeInfoPtr& item : mParts.queue.queue().nodesInOrder())
        queued << item->absolutePath();
    const QString phoneID = connectedPhoneID();
    if (!node) {
        // Without an item the worker only has remains of items no longer queued to take away.
        if (phoneID.isEmpty() || mPartials.onPhone(phoneID).empty()) return;
        mParts.transfer.resetUploadOperation();
    }
    mThreadRunning = true;
    mWorker.runThenCallback(
        [this, node, queued, phoneID]() -> std::optional<std::int32_t> {
            removeLeftovers(phoneID, queued);
            if (!node) {
                mThreadRunning = false;
                return std::nullopt;
            }
            // Measured here, once, however many files a folder holds; a stop ends the walk.
            const std::optional<quint64> total = uploadSizeOfPath(
                node->absolutePath(), [this] { return mParts.transfer.uploadCancelled(); });
            if (total) runOn(this, [this, node, total] { uploadSizeKnown(node, *total); });
            const std::int32_t result =
                total ? uploadItem(*node, *total, phoneID) : protocol::kCancelled;
            node->setUploading(false);
            mThreadRunning = false;
            ParoxLog("calling uploadFinished");
            return result;
        },
        [this](std::optional<std::int32_t> result) {
            if (result)
                uploadFinished(*result);
            else if (mParts.queue.getNextFile()) // items queued meanwhile found the worker busy
                startUploadIfWeCan();
        });
}

QString UploadFlow::connectedPhoneID() const {
    const std::shared_ptr<GamePeer> phone = mParts.clientServer.peer();
    return phone ? phone->uniqueID().value_or(QString()) : QString();
}

void UploadFlow::removeLeftovers(const QString& phoneID, const QStringList& queued) {
    if (phoneID.isEmpty()) return;
    for (const UploadPartials::Partial& partial : mPartials.onPhone(phoneID)) {
        // A queued item's remains are replaced when it goes again.
        if (queued.contains(partial.localPath) || mParts.transfer.uploadCancelled()) continue;
        if (removeOwnPartial(partial) != PartialState::StillThere)
            mPartials.forget(partial.localPath, phoneID);
    }
}

UploadFlow::PartialState UploadFlow::removeOwnPartial(const UploadPartials::Partial& partial) {
    switch (mParts.transfer.nameOnPhone(partial.phoneName)) {
    case MRTransferController::NameOnPhone::Free:
        return PartialState::Gone;
    case MRTransferController::NameOnPhone::NoAnswer:
        return PartialState::StillThere;
    case MRTransferController::NameOnPhone::Taken:
        break;
    }
    const auto sizes = mParts.transfer.getIconsAndSizes({partial.phoneName});
    // No answer at all comes as an empty listing: ask again another time.
    if (sizes && sizes->isEmpty()) return PartialState::StillThere;
    const bool answered = sizes && sizes->contains(partial.phoneName);
    const auto size = answered ? quint64(std::max<qint64>(sizes->value(partial.phoneName).size, 0))
                               : std::numeric_limits<quint64>::max();
    if (size > partial.bytesAtMost) {
        // More than was ever sent: not (only) ours any more, so it is the user's to decide.
        ParoxLog("%@ on the phone holds %lld bytes, more than the %lld sent of %@: it is kept",
                 partial.phoneName, qint64(size), qint64(partial.bytesAtMost), partial.localPath);
        return PartialState::NotOurs;
    }
    if (!mParts.transfer.removeFile(partial.phoneName)) {
        ParoxLog("the incomplete %@ on the phone could not be removed", partial.phoneName);
        return PartialState::StillThere;
    }
    ParoxLog("removed the incomplete %@ an earlier upload of %@ left on the phone",
             partial.phoneName, partial.localPath);
    return PartialState::Gone;
}

std::int32_t UploadFlow::uploadItem(FSNodeInfo& node, quint64 total, const QString& phoneID) {
    const QString path = node.absolutePath();
    QString name = QFileInfo(path).fileName();
    if (mParts.transfer.uploadCancelled()) return protocol::kCancelled;
    // Checked before anything on the phone is touched: a Replace must not leave the user with
    // neither copy.
    if (!QFileInfo::exists(path)) {
        ParoxLog("%@ is gone: nothing of it was sent", path);
        return protocol::kItemVanished;
    }
    bool nameIsOurs = false;
    if (const auto partial = phoneID.isEmpty() ? std::nullopt : mPartials.find(path, phoneID)) {
        // An earlier try left part of the item on this phone: it is replaced without asking, as
        // long as it is still no more than what was sent.
        switch (removeOwnPartial(*partial)) {
        case PartialState::StillThere:
            return protocol::kNoAnswer;
        case PartialState::Gone:
            if (partial->phoneName != name) {
                name = partial->phoneName;
                nameIsOurs = true;
            }
            break;
        case PartialState::NotOurs:
            break;
        }
        mPartials.forget(path, phoneID);
    }
    if (node.makeUnique() && !nameIsOurs) {
        // A name of its own, so that the phone's item is never written over, whichever phone
        // receives it.
        const Result<QString> free = mParts.transfer.firstFreeNameOnPhone(name);
        if (!free) {
            ParoxLog("no unique name for %@: %@", name, free.error());
            return protocol::kNoFreeName;
        }
        name = *free;
    }
    if (node.replace()) {
        if (mParts.transfer.uploadCancelled()) return protocol::kCancelled;
        const bool removed = mParts.transfer.removeFile(name);
        ParoxLog("removeFile %d", removed);
    }
    UploadPartials::Partial partial{path, name, phoneID, total};
    // Remembered before the pieces go, so that remains are known even after a sudden end; but
    // only for a name found free, or the record would later take the phone's own item for ours.
    const bool remembered =
        !phoneID.isEmpty() &&
        (QFileInfo(path).isDir() || partial.bytesAtMost > quint64(protocol::kChunkSize)) &&
        mParts.transfer.nameOnPhone(name) == MRTransferController::NameOnPhone::Free;
    if (remembered) mPartials.remember(partial);
    const std::int32_t result = mParts.transfer.uploadFile(path, name, total);
    ParoxLog("uploadFile: %d", result);
    // What a failed or stopped upload wrote is no copy of the item: it goes, so that the phone
    // shows no damaged file and a second try meets no clash with it. Only what this upload made
    // is ever taken away.
    bool remains = false;
    if (result != protocol::kNoError && mParts.transfer.uploadCreatedOnPhone()) {
        remains = !mParts.transfer.removeFile(name);
        ParoxLog("removed what arrived of %@: %d", name, !remains);
    }
    if (remains && !phoneID.isEmpty()) {
        // The piece in flight may have been stored although its answer never came.
        partial.bytesAtMost = std::min(partial.bytesAtMost, mParts.transfer.bytesTransferred() +
                                                                quint64(protocol::kChunkSize));
        mPartials.remember(partial);
        ParoxLog("an incomplete copy of %@ stays on the phone as %@ until the next try with it",
                 path, name);
    } else if (remains) {
        ParoxLog("an incomplete copy of %@ stays on the phone as %@", path, name);
    } else if (remembered) {
        mPartials.forget(path, phoneID);
    }
    return result;
}

void UploadFlow::shutDown() {
    // The upload is cancelled and the connection gone by now: the worker ends promptly, and
    // what it hands over is dropped.
    mParts.transfer.cancelUploadOperation();
    if (!mWorker.shutDown(kWorkerEndLimit)) ParoxLog("the upload worker is slow to end");
}

} // namespace vantle
