// The upload flow: one queue item at a time on a worker thread, and its progress in the row
// under the queue.
#include "app/upload/UploadFlow.h"

#include "app/PaneWidgets.h"
#include "app/QueueDataSource.h"
#include "files/FSNodeInfo.h"
#include "net/GamePeer.h"
#include "platform/MainThread.h"
#include "support/ParoxLog.h"
#include "transfer/ClientServerController.h"
#include "transfer/MRTransferController.h"
#include "transfer/ProtocolKeys.h"
#include "ui/IDDragTableView.h"

#include <QBoxLayout>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace vantle {
namespace {

// A failure's sheet comes a moment after the worker has ended.
constexpr int kErrorSheetDelayMs = 100;
constexpr int kProgressTickMs = 100;
// The bar counts in these units, so that any size fits its integer range.
constexpr double kBytesPerBarUnit = 65536.0;
// Smaller advances than this many pixels are not drawn.
constexpr int kMinBarStepPixels = 2;
// The details line is a little smaller than the name.
constexpr int kDetailsPointSizeDelta = -1;
constexpr quint64 kPercent = 100;

const char kVanishedReason[] =
    QT_TRANSLATE_NOOP("vantle::UploadFlow", "It was moved or deleted before it could be sent.");

} // namespace

UploadFlow::UploadFlow(Parts parts, QObject* parent) : QObject(parent), mParts(std::move(parts)) {}

UploadFlow::~UploadFlow() {
    shutDown();
}

QString UploadFlow::lastComponent(const FSNodeInfo& node) {
    return QFileInfo(node.absolutePath()).fileName();
}

void UploadFlow::buildUploadRow(QWidget* pane, QBoxLayout* layout) {
    // The item's name, its bar and the stop button; the details line under them.
    auto* row = new QHBoxLayout();
    mRow.name = new QLabel(pane);
    mRow.name->setObjectName(QStringLiteral("uploadName"));
    mRow.name->setTextFormat(Qt::PlainText);
    row->addWidget(mRow.name);
    mRow.bar = paneProgressBar(pane);
    mRow.bar->setObjectName(QStringLiteral("uploadBar"));
    row->addWidget(mRow.bar, 1);
    mRow.stop = new QToolButton(pane);
    mRow.stop->setObjectName(QStringLiteral("stopButton"));
    mRow.stop->setText(tr("Stop"));
    mRow.stop->setAccessibleName(tr("Stop Upload"));
    mRow.stop->setAccessibleDescription(tr("Stops sending the file in front of the queue"));
    mRow.stop->setEnabled(false);
    connect(mRow.stop, &QToolButton::clicked, this, [this] { stopButton(); });
    row->addWidget(mRow.stop);
    layout->addLayout(row);

    mRow.details = new QLabel(pane);
    mRow.details->setObjectName(QStringLiteral("uploadDetails"));
    mRow.details->setAccessibleDescription(tr("Upload details"));
    mRow.details->setTextFormat(Qt::PlainText);
    QFont font = mRow.details->font();
    font.setPointSize(font.pointSize() + kDetailsPointSizeDelta);
    mRow.details->setFont(font);
    mRow.details->hide();
    showName({});
    layout->addWidget(mRow.details);
    mUploadTimer = new QTimer(this);
    mUploadTimer->setInterval(kProgressTickMs);
    connect(mUploadTimer, &QTimer::timeout, this, [this] { checkForFinished(); });
}

void UploadFlow::showName(const QString& name) {
    if (name == mRow.name->text() && !mRow.bar->accessibleName().isEmpty()) return;
    mRow.name->setText(name);
    // The bar is read out with what it is sending.
    mRow.bar->setAccessibleName(name.isEmpty() ? tr("Upload progress")
                                               : tr("Sending %1").arg(name));
}

void UploadFlow::setupUploadUI() {
    ParoxLog("setupUploadUI");
    if (!mRow.bar) return;
    mRow.bar->setRange(0, 1);
    mRow.bar->setValue(0);
    mRow.bar->hide();
    showName({});
    mRow.details->clear();
    mRow.details->hide();
    // The stop button is there while an upload runs.
    mRow.stop->setEnabled(false);
    mRow.stop->hide();
    mParts.queueTable.viewport()->update();
    ParoxLog("at end of setupUploadUI");
}

void UploadFlow::stopButton() {
    ParoxLog("stopButton");
    mParts.transfer.cancelUploadOperation();
    // An answer given for the other items holds for this run only: a stop, a lost connection or
    // another phone begins a new one.
    mClashAnswer.reset();
    // A running worker ends with the cancel and its end decides what follows; without one, the
    // first item may have left the queue and the next one may go.
    if (mUploadPhase == UploadPhase::Idle)
        performAfterDelay(this, kNextUploadDelayMs, [this] { startUploadIfWeCan(); });
}

void UploadFlow::startUploadIfWeCan() {
    ParoxLog("startUploadIfWeCan");
    if (!mParts.mayUpload() || mThreadRunning) return;
    // What is on its way into the queue may go first, or be an item's remains on the phone: the
    // queue's loaded() and added() start again once it is in.
    if (mParts.queue.isBusy()) return;
    // Until its sheet is answered the failed item stays where it is.
    if (mUploadPhase != UploadPhase::Idle) return;
    startAnUpload();
}

void UploadFlow::startAnUpload() {
    ParoxLog("startAnUpload");
    mCurrentUpload = mParts.queue.getNextFile();
    mParts.queueTable.viewport()->update();
    if (!mCurrentUpload) {
        // The run of the queue is over: a later clash is asked about again.
        mClashAnswer.reset();
        startUploadWorker(nullptr);
        return;
    }
    const QString path = mCurrentUpload->absolutePath();
    if (path.isEmpty()) return;

    showName(lastComponent(*mCurrentUpload));
    mParts.transfer.resetUploadOperation();
    // Before anything is asked of the phone, so that taking the row out stops the item even
    // while it is being prepared.
    mCurrentUpload->setUploading(true);
    mRow.stop->setEnabled(true);
    mRow.stop->show();
    // Busy until the worker has measured the item: a folder of many files takes a while.
    mUploadMaximum = 0;
    mUploadTotal.reset();
    const std::shared_ptr<GamePeer> phone = mParts.clientServer.peer();
    mPhoneName = phone ? phone->name().value_or(QString()) : QString();
    mRow.bar->setRange(0, mUploadMaximum);
    mRow.bar->setValue(0);
    mRow.bar->show();

    setUploadPhase(UploadPhase::Sending);
    emit sendingStarted(lastComponent(*mCurrentUpload), mParts.queue.rowCount());
    waitForThreadToFinish();
    startUploadWorker(mCurrentUpload);
}

void UploadFlow::setUploadPhase(UploadPhase phase) {
    const bool wasSending = mUploadPhase == UploadPhase::Sending;
    mUploadPhase = phase;
    if (wasSending && phase != UploadPhase::Sending) emit sendingStopped();
}

void UploadFlow::uploadSizeKnown(const std::shared_ptr<FSNodeInfo>& node, quint64 total) {
    // Late news of an item that has ended meanwhile changes nothing.
    if (node != mCurrentUpload || mUploadPhase != UploadPhase::Sending) return;
    mUploadTotal = total;
    mUploadMaximum = static_cast<int>(
        std::max(static_cast<float>(static_cast<double>(total) / kBytesPerBarUnit), 1.0F));
    mRow.bar->setRange(0, mUploadMaximum);
    mRow.bar->setValue(0);
    mProgressText.start(total, QDateTime::currentMSecsSinceEpoch());
}

QString UploadFlow::currentUploadPath() const {
    return mCurrentUpload ? mCurrentUpload->absolutePath() : QString();
}

void UploadFlow::reportEnd(TransferResult result, const QString& reason) {
    if (!mCurrentUpload) return;
    TransferRecord record;
    record.time = QDateTime::currentDateTimeUtc();
    record.direction = TransferDirection::Sent;
    record.result = result;
    record.name = lastComponent(*mCurrentUpload);
    record.size = mUploadTotal;
    record.phoneName = mPhoneName;
    record.localPath = mCurrentUpload->absolutePath();
    record.reason = reason;
    emit itemEnded(record);
}

void UploadFlow::uploadFinished(std::int32_t result) {
    ParoxLog("uploadFinished result %d", result);
    mParts.queueTable.viewport()->update();
    mParts.transfer.resetUploadOperation();
    if (!mCurrentUpload) {
        setUploadPhase(UploadPhase::Idle);
        return;
    }
    ParoxLog("uploadFinished for %@", mCurrentUpload->absolutePath());
    emit phoneItemChanged(lastComponent(*mCurrentUpload));
    if (result == protocol::kNoError || result == protocol::kItemVanished) {
        if (result == protocol::kNoError) {
            ++mItemsSent;
            reportEnd(TransferResult::Done);
        } else {
            // It leaves the queue, but it was not sent: the user hears of it, the count does not.
            ParoxLog("%@ was gone before its turn and left the queue unsent",
                     mCurrentUpload->absolutePath());
            reportEnd(TransferResult::Failed, tr(kVanishedReason));
        }
        mParts.queue.removeNode(mCurrentUpload);
        mCurrentUpload.reset();
        // The run is over once the queue has nothing more to send, nor anything on its way in.
        if (!mParts.queue.isBusy() && !mParts.queue.getNextFile()) {
            emit queueEmptied(mItemsSent);
            mItemsSent = 0;
        }
        setUploadPhase(UploadPhase::Idle);
        if (result != protocol::kNoError) setupUploadUI();
        performAfterDelay(this, kNextUploadDelayMs, [this] { startUploadIfWeCan(); });
        return;
    }
    if (result == protocol::kCancelled) {
        // A lost connection stops the item too; only the user's stop is no failure.
        if (mParts.clientServer.connected())
            reportEnd(TransferResult::Cancelled);
        else
            reportEnd(TransferResult::Failed, connectionLostReason());
        // No sheet. A stopped item stays first and the queue waits for the next start; when the
        // item itself was taken out of the queue, the next one goes.
        const FSNodeInfoPtr next = mParts.queue.getNextFile();
        const bool itemStays = next && next->absolutePath() == mCurrentUpload->absolutePath();
        mCurrentUpload.reset();
        setUploadPhase(UploadPhase::Idle);
        setupUploadUI();
        if (!itemStays)
            performAfterDelay(this, kNextUploadDelayMs, [this] { startUploadIfWeCan(); });
        return;
    }
    setUploadPhase(UploadPhase::Failed);
    performAfterDelay(this, kErrorSheetDelayMs, [this, result] { displayError(result); });
}

void UploadFlow::waitForThreadToFinish() {
    mTimerTicks = 0;
    mUploadTimer->start();
}

void UploadFlow::checkForFinished() {
    const bool connected = mParts.clientServer.connected();
    if (!mThreadRunning || !connected) {
        ParoxLog("mThreadRunning %d connected %d", mThreadRunning.load(), connected);
        mRow.bar->setValue(mRow.bar->maximum());
        setupUploadUI();
        mUploadTimer->stop();
        ParoxLog("checkForFinished returning");
        return;
    }
    // The first tick shows nothing: a small item is gone before its bar would be seen.
    if (++mTimerTicks <= 1) return;

    // A status change in between may have reset the upload row.
    mRow.bar->show();
    mRow.details->show();
    mRow.stop->setEnabled(true);
    mRow.stop->show();
    if (mRow.bar->maximum() != mUploadMaximum) mRow.bar->setRange(0, mUploadMaximum);
    const quint64 bytes = mParts.transfer.bytesTransferred();
    const int current = mRow.bar->value();
    // Measured at every tick: a width taken once, before the bar was first laid out, left it
    // empty for the rest of the program's life (and the window may be resized).
    const int barWidth = std::max(mRow.bar->width(), 1);
    if (!mUploadTotal) {
        // Still being measured: the bar stays busy.
    } else if (mUploadMaximum <= 1) {
        mParts.queueTable.viewport()->update();
        mRow.bar->setValue(mUploadMaximum);
    } else {
        const auto reached = static_cast<int>(static_cast<double>(bytes) / kBytesPerBarUnit);
        const int step =
            static_cast<int>(static_cast<double>(mUploadMaximum) / barWidth * kMinBarStepPixels);
        if (reached > step + current) {
            ParoxLog("Setting to %08d of %08d", reached, mUploadMaximum);
            mParts.queueTable.viewport()->update();
            mRow.bar->setValue(std::min(reached, mUploadMaximum));
        }
    }
    // Nothing is named before the first of the item's files goes: the item's own name stays.
    if (const QString file = mParts.transfer.currentFile(); !file.isEmpty()) showName(file);
    emit sendingProgress(mUploadTotal && *mUploadTotal > 0
                             ? std::optional<int>(static_cast<int>(std::min(bytes, *mUploadTotal) *
                                                                   kPercent / *mUploadTotal))
                             : std::nullopt);
    // The speed is measured from the first bytes sent, not from the walk and the name check.
    if (mUploadTotal && bytes > 0 &&
        mProgressText.update(bytes, mParts.queue.rowCount(), QDateTime::currentMSecsSinceEpoch()))
        mRow.details->setText(mProgressText.text());
}

} // namespace vantle
