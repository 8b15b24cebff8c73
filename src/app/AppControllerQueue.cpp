// Files coming into the queue: drops, the open dialog, the command line, print hand-offs.
#include "app/AppController.h"
#include "app/QueueDataSource.h"
#include "app/TemporaryQueue.h"
#include "app/status/ConnectionStatus.h"
#include "app/upload/UploadFlow.h"
#include "platform/MainThread.h"
#include "support/ParoxLog.h"
#include "ui/IDDragTableView.h"
#include "ui/MRCoolTextView.h"
#include "ui/MRWindow.h"
#include "ui/SheetPresenter.h"

#include <QAction>
#include <QFileDialog>

namespace vantle {
namespace {

// Dropped files are taken a moment later, once the drag has ended.
constexpr int kAddDelayMs = 10;

} // namespace

bool AppController::acceptsDrops() const {
    return !(mPresenter && mPresenter->sheetOpen());
}

void AppController::connectQueueTable() {
    const auto policy = [this] { return acceptsDrops(); };
    const auto dropped = [this](const QStringList& paths) {
        scheduleIntake({IntakeSource::Table, paths, {}});
    };
    queueTable_->setDropPolicy(policy);
    helpfulMessage_->setDropPolicy(policy);
    connect(queueTable_, &IDDragTableView::filesDropped, this, dropped);
    connect(helpfulMessage_, &MRCoolTextView::filesDropped, this, dropped);
    connect(queueTable_, &IDDragTableView::deleteRequested, this, [this] {
        QList<int> rows;
        for (const QModelIndex& index : queueTable_->selectionModel()->selectedRows())
            rows.append(index.row());
        mQueue->deleteSelected(rows);
        queueTable_->clearSelection();
    });
    connect(queueTable_, &IDDragTableView::revealRequested, this,
            [this](int row) { mQueue->revealAtIndex(row); });
    connect(queueTable_, &IDDragTableView::removeRequested, this,
            [this](int row) { mQueue->removeAtIndex(row); });

    // The row actions, in the context menu and reachable from the keyboard.
    auto* reveal = new QAction(tr("Show in File Manager"), queueTable_);
    connect(reveal, &QAction::triggered, this,
            [this] { mQueue->revealAtIndex(queueTable_->contextRow()); });
    auto* remove = new QAction(tr("Remove from Queue"), queueTable_);
    connect(remove, &QAction::triggered, this,
            [this] { mQueue->removeAtIndex(queueTable_->contextRow()); });
    queueTable_->addAction(reveal);
    queueTable_->addAction(remove);
}

void AppController::filesDroppedOnDock(const QStringList& paths, WhenSaved whenSaved) {
    if (paths.isEmpty()) {
        addToQueue(paths, std::move(whenSaved));
        return;
    }
    scheduleIntake({IntakeSource::Dock, paths, std::move(whenSaved)});
}

void AppController::scheduleIntake(Intake intake) {
    mIntake.push_back(std::move(intake));
    performAfterDelay(this, kAddDelayMs, [this] { takeInWaitingFiles(AfterIntake::StartUploads); });
}

void AppController::takeInWaitingFiles(AfterIntake after) {
    if (mIntake.empty()) return;
    for (Intake& intake : std::exchange(mIntake, {})) {
        QStringList paths = std::move(intake.paths);
        if (intake.source == IntakeSource::Dock && TemporaryQueue::isPrintHandOff(paths))
            paths = TemporaryQueue::moveIn(paths);
        addToQueue(paths, std::move(intake.whenSaved));
    }
    if (after == AfterIntake::StartUploads) mUpload->startUploadIfWeCan();
}

void AppController::doAddToQueue(const QStringList& paths) {
    addToQueue(paths);
    mUpload->startUploadIfWeCan();
}

void AppController::addToQueue(const QStringList& paths, WhenSaved whenSaved) {
    // Nothing to hold is held; without a queue nothing can be.
    if (!mQueue || paths.isEmpty()) {
        if (whenSaved) whenSaved(mQueue != nullptr);
        return;
    }
    // One write of the queue file for the whole batch.
    mQueue->addFiles(paths, std::move(whenSaved));
}

void AppController::doAddToQueueTemp(const QStringList& paths) {
    const QStringList moved = TemporaryQueue::moveIn(paths);
    if (!moved.isEmpty()) doAddToQueue(moved);
}

void AppController::removeIfInTempQueue(const QString& path) {
    TemporaryQueue::removeIfInTempQueue(path);
}

void AppController::addFileToQueue() {
    ParoxLog("addFileToQueue:");
    if (!mStatus->takesFiles() || !_window) return;
    auto* panel = new QFileDialog(_window, tr("Select file(s) to copy to your iPhone."));
    panel->setFileMode(QFileDialog::ExistingFiles);
    panel->setAcceptMode(QFileDialog::AcceptOpen);
    panel->setLabelText(QFileDialog::Accept, tr("Add"));
    mPresenter->showSheet(panel, [this, panel](int result) {
        const QStringList chosen = panel->selectedFiles();
        panel->deleteLater();
        if (result != QDialog::Accepted) return;
        addToQueue(chosen);
        mUpload->startUploadIfWeCan();
    });
}

} // namespace vantle
