// The upload controls' resting state and the stop button.
#include "app/AppController.h"
#include "platform/MainThread.h"
#include "support/ParoxLog.h"
#include "ui/IDDragTableView.h"

#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

namespace vantle {
namespace {

// After a stop, the next item may start once the cancelled one has ended.
constexpr int kRestartAfterStopMs = 100;

} // namespace

void AppController::setupUploadUI() {
    ParoxLog("setupUploadUI");
    if (!progressIndicator) return;
    progressIndicator->setRange(0, 1);
    progressIndicator->setValue(0);
    progressIndicator->hide();
    textField->clear();
    // The stop button is there while an upload runs.
    stopButton_->setEnabled(false);
    stopButton_->hide();
    downloadProgressIndicator->setValue(0);
    downloadProgressIndicator->hide();
    queueTable_->viewport()->update();
    ParoxLog("at end of setupUploadUI");
}

void AppController::stopButton() {
    _transfer->cancelUploadOperation();
    performAfterDelay(this, kRestartAfterStopMs, [this] { startUploadIfWeCan(); });
}

void AppController::startUploadIfWeCan() {
    ParoxLog("startUploadIfWeCan");
    if (!mAllowUpload || !connected() || mThreadRunning || !mConnectionGranted) return;
    // The upload worker comes with the upload flow; until then the queue waits.
}

} // namespace vantle
