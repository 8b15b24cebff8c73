// The sheets that explain a failed upload and let the user decide what becomes of the item.
#include "app/QueueDataSource.h"
#include "app/upload/UploadFlow.h"
#include "files/FSNodeInfo.h"
#include "platform/MainThread.h"
#include "transfer/ProtocolKeys.h"
#include "ui/IDDragTableView.h"
#include "ui/SheetPresenter.h"

namespace vantle {
namespace {

const char kDoTheSame[] = "Do the same for the other items";
const char kExistsTitle[] = "File Exists On Device";

} // namespace

void UploadFlow::displayError(std::int32_t result) {
    if (!mCurrentUpload) {
        setUploadPhase(UploadPhase::Idle);
        return;
    }
    const FSNodeInfo& item = *mCurrentUpload;
    // The name is joined into the text, never read as a format.
    const QString name = lastComponent(item);
    const QString quoted = QStringLiteral("\"") + name + QStringLiteral("\"");
    using Role = SheetPresenter::Role;
    SheetPresenter::Question message;

    switch (result) {
    case protocol::kNameExists: {
        if (mClashAnswer) {
            // Cancel given for the other items drops this one too, by the user's own choice.
            if (*mClashAnswer == ClashAnswer::Cancel)
                reportEnd(TransferResult::Cancelled, QLatin1String(kExistsTitle));
            askReplace(*mClashAnswer);
            return;
        }
        message.title = QLatin1String(kExistsTitle);
        message.text = QStringLiteral("A file or folder named ") + quoted +
                       QStringLiteral(" already exists in your Vantle.");
        message.buttons = {{QStringLiteral("Replace"), Role::Replace},
                           {QStringLiteral("Cancel"), Role::Cancel},
                           {QStringLiteral("Make Unique"), Role::MakeUnique}};
        message.checkBox = QLatin1String(kDoTheSame);
        reportEnd(TransferResult::Failed, message.title);
        mParts.presenter.show(message, [this](Role role, bool forOthers) {
            const ClashAnswer answer = role == Role::Replace      ? ClashAnswer::Replace
                                       : role == Role::MakeUnique ? ClashAnswer::MakeUnique
                                                                  : ClashAnswer::Cancel;
            if (forOthers) mClashAnswer = answer;
            askReplace(answer);
        });
        return;
    }
    case protocol::kNameTooLong:
        message.title = QStringLiteral("File Name or Path Too Long");
        // A package is a folder on disk too; it is told apart first by isDirectory.
        if (item.isDirectory())
            message.text = QStringLiteral("Vantle is unable to transfer the folder named ") +
                           quoted +
                           QStringLiteral(" because a file name or folder path is too long.");
        else if (item.isBundle())
            message.text = QStringLiteral("Vantle is unable to transfer the item named ") + quoted +
                           QStringLiteral(" because the file name or the name of a file "
                                          "contained within it is too long.");
        else
            message.text = QStringLiteral("Vantle is unable to transfer the file named ") + quoted +
                           QStringLiteral(" because the file's name is too long.");
        message.buttons = {{QStringLiteral("OK"), Role::Accept}};
        reportEnd(TransferResult::Failed, message.title);
        mParts.presenter.show(message, [this](Role, bool) { finishedError(); });
        return;
    case protocol::kNoFreeName:
        message.title = QLatin1String(kExistsTitle);
        message.text = QStringLiteral("A file or folder named ") + quoted +
                       QStringLiteral(" already exists in your Vantle, and no free name was found "
                                      "for a copy beside it.");
        break;
    case protocol::kCannotOpenFile:
        message.title = QStringLiteral("Error Uploading File");
        message.text = QStringLiteral("A file could not be opened for reading.  It may be "
                                      "unavailable or in use by another application.");
        break;
    case protocol::kNoAnswer:
        message.title = QStringLiteral("Error Uploading to Device");
        message.text = QStringLiteral("There was an error uploading your files to the device. The "
                                      "connection was lost or timed out.");
        break;
    default:
        message.title = QStringLiteral("Error Uploading to Device");
        message.text = QStringLiteral("There was an error uploading your files to the device. "
                                      "(Error: %1)")
                           .arg(result);
        break;
    }
    message.buttons = {{QStringLiteral("Try again"), Role::TryAgain},
                       {QStringLiteral("Cancel"), Role::Cancel}};
    reportEnd(TransferResult::Failed, message.title);
    mParts.presenter.show(message,
                          [this](Role role, bool) { askTryAgain(role == Role::TryAgain); });
}

void UploadFlow::removeCurrentUpload() {
    if (mCurrentUpload) mParts.queue.removeNode(mCurrentUpload);
    mCurrentUpload.reset();
    mParts.queueTable.viewport()->update();
}

void UploadFlow::askReplace(ClashAnswer answer) {
    setupUploadUI();
    switch (answer) {
    case ClashAnswer::Replace:
        if (mCurrentUpload) mCurrentUpload->setReplace(true);
        break;
    case ClashAnswer::Cancel:
        removeCurrentUpload();
        break;
    case ClashAnswer::MakeUnique:
        if (mCurrentUpload) mCurrentUpload->setMakeUnique(true);
        break;
    }
    // After Replace and Make Unique the same item is still the oldest: it goes again, flagged.
    mCurrentUpload.reset();
    setUploadPhase(UploadPhase::Idle);
    performAfterDelay(this, kNextUploadDelayMs, [this] { startUploadIfWeCan(); });
}

void UploadFlow::finishedError() {
    removeCurrentUpload();
    setUploadPhase(UploadPhase::Idle);
    setupUploadUI();
    // The rest of the queue waits for the next start.
}

void UploadFlow::askTryAgain(bool tryAgain) {
    setupUploadUI();
    if (tryAgain)
        mCurrentUpload.reset();
    else
        removeCurrentUpload();
    setUploadPhase(UploadPhase::Idle);
    performAfterDelay(this, kNextUploadDelayMs, [this] { startUploadIfWeCan(); });
}

} // namespace vantle
