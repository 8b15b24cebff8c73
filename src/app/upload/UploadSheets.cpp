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

const char kDoTheSame[] =
    QT_TRANSLATE_NOOP("vantle::UploadFlow", "Do the same for the other items");
const char kExistsTitle[] = QT_TRANSLATE_NOOP("vantle::UploadFlow", "File Exists On Device");

} // namespace

void UploadFlow::displayError(std::int32_t result) {
    if (!mCurrentUpload) {
        setUploadPhase(UploadPhase::Idle);
        return;
    }
    const FSNodeInfo& item = *mCurrentUpload;
    // One pass of arg(): the name is never read as a format.
    const QString name = lastComponent(item);
    using Role = SheetPresenter::Role;
    SheetPresenter::Question message;

    switch (result) {
    case protocol::kNameExists: {
        if (mClashAnswer) {
            // Cancel given for the other items drops this one too, by the user's own choice.
            if (*mClashAnswer == ClashAnswer::Cancel)
                reportEnd(TransferResult::Cancelled, tr(kExistsTitle));
            askReplace(*mClashAnswer);
            return;
        }
        message.title = tr(kExistsTitle);
        message.text = tr("A file or folder named \"%1\" already exists in your Vantle.").arg(name);
        message.buttons = {{tr("Replace"), Role::Replace},
                           {tr("Cancel"), Role::Cancel},
                           {tr("Make Unique"), Role::MakeUnique}};
        message.checkBox = tr(kDoTheSame);
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
        message.title = tr("File Name or Path Too Long");
        // A package is a folder on disk too; it is told apart first by isDirectory.
        if (item.isDirectory())
            message.text = tr("Vantle is unable to transfer the folder named \"%1\" because a "
                              "file name or folder path is too long.")
                               .arg(name);
        else if (item.isBundle())
            message.text = tr("Vantle is unable to transfer the item named \"%1\" because the "
                              "file name or the name of a file contained within it is too long.")
                               .arg(name);
        else
            message.text = tr("Vantle is unable to transfer the file named \"%1\" because the "
                              "file's name is too long.")
                               .arg(name);
        message.buttons = {{tr("OK"), Role::Accept}};
        reportEnd(TransferResult::Failed, message.title);
        mParts.presenter.show(message, [this](Role, bool) { finishedError(); });
        return;
    case protocol::kNoFreeName:
        message.title = tr(kExistsTitle);
        message.text = tr("A file or folder named \"%1\" already exists in your Vantle, and no "
                          "free name was found for a copy beside it.")
                           .arg(name);
        break;
    case protocol::kCannotOpenFile:
        message.title = tr("Error Uploading File");
        message.text = tr("A file could not be opened for reading.  It may be "
                          "unavailable or in use by another application.");
        break;
    case protocol::kNoAnswer:
        message.title = tr("Error Uploading to Device");
        message.text = tr("There was an error uploading your files to the device. The "
                          "connection was lost or timed out.");
        break;
    default:
        message.title = tr("Error Uploading to Device");
        message.text =
            tr("There was an error uploading your files to the device. (Error: %1)").arg(result);
        break;
    }
    message.buttons = {{tr("Try again"), Role::TryAgain}, {tr("Cancel"), Role::Cancel}};
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
