// The upload flow: one queue item at a time on a worker thread, its progress, and the sheets
// that explain a failure and let the user decide what becomes of the item.
#include "app/AppController.h"
#include "app/QueueDataSource.h"
#include "files/FSNodeInfo.h"
#include "files/FileSize.h"
#include "net/GamePeer.h"
#include "platform/MainThread.h"
#include "support/ParoxLog.h"
#include "transfer/ProtocolKeys.h"
#include "transfer/StorePaths.h"
#include "ui/IDDragTableView.h"
#include "ui/SheetPresenter.h"

#include <QBoxLayout>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <limits>

namespace vantle {
namespace {

// Delays before the next item is tried, after a success, a sheet's answer or a stop.
constexpr int kNextUploadDelayMs = 100;
// A failure's sheet comes a moment after the worker has ended.
constexpr int kErrorSheetDelayMs = 100;
constexpr int kProgressTickMs = 100;
// The bar counts in these units, so that any size fits its integer range.
constexpr double kBytesPerBarUnit = 65536.0;
// Smaller advances than this many pixels are not drawn.
constexpr int kMinBarStepPixels = 2;
// The details line is a little smaller than the name.
constexpr int kDetailsPointSizeDelta = -1;

const char kDoTheSame[] = "Do the same for the other items";
const char kVanishedReason[] = "It was moved or deleted before it could be sent.";

QString lastComponent(const FSNodeInfo& node) {
    return QFileInfo(node.absolutePath()).fileName();
}

} // namespace

void AppController::buildUploadRow(QWidget* pane, QBoxLayout* layout) {
    textField->setObjectName(QStringLiteral("uploadName"));
    progressIndicator->setObjectName(QStringLiteral("uploadBar"));
    stopButton_->setObjectName(QStringLiteral("stopButton"));
    uploadDetails_ = new QLabel(pane);
    uploadDetails_->setObjectName(QStringLiteral("uploadDetails"));
    uploadDetails_->setTextFormat(Qt::PlainText);
    QFont font = uploadDetails_->font();
    font.setPointSize(font.pointSize() + kDetailsPointSizeDelta);
    uploadDetails_->setFont(font);
    uploadDetails_->hide();
    layout->addWidget(uploadDetails_);
    mUploadTimer = new QTimer(this);
    mUploadTimer->setInterval(kProgressTickMs);
    connect(mUploadTimer, &QTimer::timeout, this, [this] { checkForFinished(); });
}

QString AppController::uploadDetails() const {
    return uploadDetails_ && !uploadDetails_->isHidden() ? uploadDetails_->text() : QString();
}

void AppController::setupUploadUI() {
    ParoxLog("setupUploadUI");
    if (!progressIndicator) return;
    progressIndicator->setRange(0, 1);
    progressIndicator->setValue(0);
    progressIndicator->hide();
    textField->clear();
    uploadDetails_->clear();
    uploadDetails_->hide();
    // The stop button is there while an upload runs.
    stopButton_->setEnabled(false);
    stopButton_->hide();
    downloadProgressIndicator->setValue(0);
    downloadProgressIndicator->hide();
    queueTable_->viewport()->update();
    ParoxLog("at end of setupUploadUI");
}

void AppController::stopButton() {
    ParoxLog("stopButton");
    _transfer->cancelUploadOperation();
    // An answer given for the other items holds for this run only: a stop, a lost connection or
    // another phone begins a new one.
    mClashAnswer.reset();
    // A running worker ends with the cancel and its end decides what follows; without one, the
    // first item may have left the queue and the next one may go.
    if (mUploadPhase == UploadPhase::Idle)
        performAfterDelay(this, kNextUploadDelayMs, [this] { startUploadIfWeCan(); });
}

void AppController::startUploadIfWeCan() {
    ParoxLog("startUploadIfWeCan");
    if (!mAllowUpload || !connected() || mThreadRunning || !mConnectionGranted) return;
    // Until its sheet is answered the failed item stays where it is.
    if (mUploadPhase != UploadPhase::Idle) return;
    startAnUpload();
}

void AppController::startAnUpload() {
    ParoxLog("startAnUpload");
    mCurrentUpload = mQueue->getNextFile();
    queueTable_->viewport()->update();
    if (!mCurrentUpload) {
        // The run of the queue is over: a later clash is asked about again.
        mClashAnswer.reset();
        startUploadWorker(nullptr, 0);
        return;
    }
    const QString path = mCurrentUpload->absolutePath();
    if (path.isEmpty()) return;

    textField->setText(lastComponent(*mCurrentUpload));
    _transfer->resetUploadOperation();
    // Before anything is asked of the phone, so that taking the row out stops the item even
    // while it is being prepared.
    mCurrentUpload->setUploading(true);
    const quint64 total = uploadSizeOfPath(path);
    stopButton_->setEnabled(true);
    stopButton_->show();
    mUploadMaximum = static_cast<int>(
        std::max(static_cast<float>(static_cast<double>(total) / kBytesPerBarUnit), 1.0F));
    progressIndicator->setRange(0, mUploadMaximum);
    progressIndicator->setValue(0);
    progressIndicator->show();
    mProgressText.start(total, QDateTime::currentMSecsSinceEpoch());

    mUploadPhase = UploadPhase::Sending;
    waitForThreadToFinish();
    startUploadWorker(mCurrentUpload, total);
}

void AppController::startUploadWorker(const std::shared_ptr<FSNodeInfo>& node, quint64 total) {
    QStringList queued;
    for (const FSNodeInfoPtr& item : mQueue->queue().nodesInOrder())
        queued << item->absolutePath();
    const QString phoneID = connectedPhoneID();
    if (!node) {
        // Without an item the worker only has remains of items no longer queued to take away.
        if (phoneID.isEmpty() || mPartials.onPhone(phoneID).empty()) return;
        _transfer->resetUploadOperation();
    }
    mThreadRunning = true;
    // The worker before it has handed over its result, so it is at its very end.
    joinUploadWorker();
    mUploadWorker = std::thread([this, node, total, queued, phoneID] {
        removeLeftovers(phoneID, queued);
        if (node) return uploadThread(node, total, phoneID);
        mThreadRunning = false;
        // Items queued meanwhile found the worker busy.
        runOn(this, [this] {
            if (mQueue->getNextFile()) startUploadIfWeCan();
        });
    });
}

QString AppController::connectedPhoneID() const {
    const std::shared_ptr<GamePeer> phone = mClientServer ? mClientServer->peer() : nullptr;
    return phone ? phone->uniqueID().value_or(QString()) : QString();
}

void AppController::removeLeftovers(const QString& phoneID, const QStringList& queued) {
    if (phoneID.isEmpty()) return;
    for (const UploadPartials::Partial& partial : mPartials.onPhone(phoneID)) {
        // A queued item's remains are replaced when it goes again.
        if (queued.contains(partial.localPath) || _transfer->uploadCancelled()) continue;
        if (removeOwnPartial(partial) != PartialState::StillThere)
            mPartials.forget(partial.localPath, phoneID);
    }
}

AppController::PartialState
AppController::removeOwnPartial(const UploadPartials::Partial& partial) {
    switch (_transfer->nameOnPhone(partial.phoneName)) {
    case MRTransferController::NameOnPhone::Free:
        return PartialState::Gone;
    case MRTransferController::NameOnPhone::NoAnswer:
        return PartialState::StillThere;
    case MRTransferController::NameOnPhone::Taken:
        break;
    }
    const auto sizes = _transfer->getIconsAndSizes({partial.phoneName});
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
    if (!_transfer->removeFile(partial.phoneName)) {
        ParoxLog("the incomplete %@ on the phone could not be removed", partial.phoneName);
        return PartialState::StillThere;
    }
    ParoxLog("removed the incomplete %@ an earlier upload of %@ left on the phone",
             partial.phoneName, partial.localPath);
    return PartialState::Gone;
}

std::int32_t AppController::uploadItem(FSNodeInfo& node, quint64 total, const QString& phoneID) {
    const QString path = node.absolutePath();
    QString name = QFileInfo(path).fileName();
    if (_transfer->uploadCancelled()) return protocol::kCancelled;
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
        const Result<QString> free = _transfer->firstFreeNameOnPhone(name);
        if (!free) {
            ParoxLog("no unique name for %@: %@", name, free.error());
            return protocol::kNoFreeName;
        }
        name = *free;
    }
    if (node.replace()) {
        if (_transfer->uploadCancelled()) return protocol::kCancelled;
        const bool removed = _transfer->removeFile(name);
        ParoxLog("removeFile %d", removed);
    }
    UploadPartials::Partial partial{path, name, phoneID, total};
    // Remembered before the pieces go, so that remains are known even after a sudden end; but
    // only for a name found free, or the record would later take the phone's own item for ours.
    const bool remembered =
        !phoneID.isEmpty() &&
        (QFileInfo(path).isDir() || partial.bytesAtMost > quint64(protocol::kChunkSize)) &&
        _transfer->nameOnPhone(name) == MRTransferController::NameOnPhone::Free;
    if (remembered) mPartials.remember(partial);
    const std::int32_t result = _transfer->uploadFile(path, name);
    ParoxLog("uploadFile: %d", result);
    // What a failed or stopped upload wrote is no copy of the item: it goes, so that the phone
    // shows no damaged file and a second try meets no clash with it. Only what this upload made
    // is ever taken away.
    bool remains = false;
    if (result != protocol::kNoError && _transfer->uploadCreatedOnPhone()) {
        remains = !_transfer->removeFile(name);
        ParoxLog("removed what arrived of %@: %d", name, !remains);
    }
    if (remains && !phoneID.isEmpty()) {
        // The piece in flight may have been stored although its answer never came.
        partial.bytesAtMost = std::min(partial.bytesAtMost, _transfer->bytesTransferred() +
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

void AppController::uploadThread(const std::shared_ptr<FSNodeInfo>& node, quint64 total,
                                 const QString& phoneID) {
    const std::int32_t result = uploadItem(*node, total, phoneID);
    node->setUploading(false);
    mThreadRunning = false;
    ParoxLog("calling uploadFinished");
    runOn(this, [this, result] { uploadFinished(result); });
}

QString AppController::currentUploadPath() const {
    return mCurrentUpload ? mCurrentUpload->absolutePath() : QString();
}

void AppController::joinUploadWorker() {
    if (mUploadWorker.joinable()) mUploadWorker.join();
}

void AppController::uploadFinished(std::int32_t result) {
    ParoxLog("uploadFinished result %d", result);
    queueTable_->viewport()->update();
    _transfer->resetUploadOperation();
    if (!mCurrentUpload) {
        mUploadPhase = UploadPhase::Idle;
        return;
    }
    ParoxLog("uploadFinished for %@", mCurrentUpload->absolutePath());
    phoneItemChanged(lastComponent(*mCurrentUpload));
    if (result == protocol::kNoError || result == protocol::kItemVanished) {
        if (result == protocol::kNoError) {
            ++mItemsSent;
        } else {
            // It leaves the queue, but it was not sent: the user hears of it, the count does not.
            ParoxLog("%@ was gone before its turn and left the queue unsent",
                     mCurrentUpload->absolutePath());
            notifyUploadFailed(lastComponent(*mCurrentUpload), QLatin1String(kVanishedReason));
        }
        mQueue->removeNode(mCurrentUpload);
        mCurrentUpload.reset();
        // The run is over once the queue has nothing more to send.
        if (!mQueue->getNextFile()) {
            notifyQueueEmptied(mItemsSent);
            mItemsSent = 0;
        }
        mUploadPhase = UploadPhase::Idle;
        if (result != protocol::kNoError) setupUploadUI();
        performAfterDelay(this, kNextUploadDelayMs, [this] { startUploadIfWeCan(); });
        return;
    }
    if (result == protocol::kCancelled) {
        // No sheet. A stopped item stays first and the queue waits for the next start; when the
        // item itself was taken out of the queue, the next one goes.
        const FSNodeInfoPtr next = mQueue->getNextFile();
        const bool itemStays = next && next->absolutePath() == mCurrentUpload->absolutePath();
        mCurrentUpload.reset();
        mUploadPhase = UploadPhase::Idle;
        setupUploadUI();
        if (!itemStays)
            performAfterDelay(this, kNextUploadDelayMs, [this] { startUploadIfWeCan(); });
        return;
    }
    mUploadPhase = UploadPhase::Failed;
    performAfterDelay(this, kErrorSheetDelayMs, [this, result] { displayError(result); });
}

void AppController::displayError(std::int32_t result) {
    if (!mCurrentUpload) {
        mUploadPhase = UploadPhase::Idle;
        return;
    }
    const FSNodeInfo& item = *mCurrentUpload;
    // The name is joined into the text, never read as a format.
    const QString name = lastComponent(item);
    const QString quoted = QStringLiteral("\"") + name + QStringLiteral("\"");
    SheetPresenter::Message message;
    message.kind = SheetPresenter::Message::Kind::Sheet;
    const QStringList tryAgainOrCancel{QStringLiteral("Try again"), QStringLiteral("Cancel")};
    const auto askTryAgainDone = [this](const QString& button, bool) {
        askTryAgain(button == QLatin1String("Try again"));
    };

    switch (result) {
    case protocol::kNameExists: {
        if (mClashAnswer) {
            askReplace(*mClashAnswer);
            return;
        }
        message.title = QStringLiteral("File Exists On Device");
        message.text = QStringLiteral("A file or folder named ") + quoted +
                       QStringLiteral(" already exists in your Vantle.");
        message.buttons = {QStringLiteral("Replace"), QStringLiteral("Cancel"),
                           QStringLiteral("Make Unique")};
        message.checkBox = QLatin1String(kDoTheSame);
        notifyUploadFailed(name, message.title);
        mPresenter->show(message, [this](const QString& button, bool forOthers) {
            const ClashAnswer answer = button == QLatin1String("Replace") ? ClashAnswer::Replace
                                       : button == QLatin1String("Make Unique")
                                           ? ClashAnswer::MakeUnique
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
        message.buttons = {QStringLiteral("OK")};
        notifyUploadFailed(name, message.title);
        mPresenter->show(message, [this](const QString&, bool) { finishedError(); });
        return;
    case protocol::kNoFreeName:
        message.title = QStringLiteral("File Exists On Device");
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
    message.buttons = tryAgainOrCancel;
    notifyUploadFailed(name, message.title);
    mPresenter->show(message, askTryAgainDone);
}

void AppController::removeCurrentUpload() {
    if (mCurrentUpload) mQueue->removeNode(mCurrentUpload);
    mCurrentUpload.reset();
    queueTable_->viewport()->update();
}

void AppController::askReplace(ClashAnswer answer) {
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
    mUploadPhase = UploadPhase::Idle;
    performAfterDelay(this, kNextUploadDelayMs, [this] { startUploadIfWeCan(); });
}

void AppController::finishedError() {
    removeCurrentUpload();
    mUploadPhase = UploadPhase::Idle;
    setupUploadUI();
    // The rest of the queue waits for the next start.
}

void AppController::askTryAgain(bool tryAgain) {
    setupUploadUI();
    if (tryAgain)
        mCurrentUpload.reset();
    else
        removeCurrentUpload();
    mUploadPhase = UploadPhase::Idle;
    performAfterDelay(this, kNextUploadDelayMs, [this] { startUploadIfWeCan(); });
}

void AppController::waitForThreadToFinish() {
    mTimerTicks = 0;
    mUploadTimer->start();
}

void AppController::checkForFinished() {
    if (!mThreadRunning || !connected()) {
        ParoxLog("mThreadRunning %d connected %d", mThreadRunning.load(), connected());
        progressIndicator->setValue(progressIndicator->maximum());
        setupUploadUI();
        mUploadTimer->stop();
        ParoxLog("checkForFinished returning");
        return;
    }
    // The first tick shows nothing: a small item is gone before its bar would be seen.
    if (++mTimerTicks <= 1) return;

    // A status change in between may have reset the upload row.
    progressIndicator->show();
    uploadDetails_->show();
    stopButton_->setEnabled(true);
    stopButton_->show();
    if (progressIndicator->maximum() != mUploadMaximum)
        progressIndicator->setRange(0, mUploadMaximum);
    const quint64 bytes = _transfer->bytesTransferred();
    const int current = progressIndicator->value();
    // Measured at every tick: a width taken once, before the bar was first laid out, left it
    // empty for the rest of the program's life (and the window may be resized).
    const int barWidth = std::max(progressIndicator->width(), 1);
    if (mUploadMaximum <= 1) {
        queueTable_->viewport()->update();
        progressIndicator->setValue(mUploadMaximum);
    } else {
        const auto reached = static_cast<int>(static_cast<double>(bytes) / kBytesPerBarUnit);
        const int step =
            static_cast<int>(static_cast<double>(mUploadMaximum) / barWidth * kMinBarStepPixels);
        if (reached > step + current) {
            ParoxLog("Setting to %08d of %08d", reached, mUploadMaximum);
            queueTable_->viewport()->update();
            progressIndicator->setValue(std::min(reached, mUploadMaximum));
        }
    }
    textField->setText(_transfer->currentFile());
    if (mProgressText.update(bytes, mQueue->rowCount(), QDateTime::currentMSecsSinceEpoch()))
        uploadDetails_->setText(mProgressText.text());
}

} // namespace vantle
