// Downloads from the phone, one at a time: asked for, their bar, moved into place on a worker,
// opened or revealed, or a sheet that tells why not.
#include "app/PaneWidgets.h"
#include "app/phone/PhonePane.h"
#include "files/VantleUtilities.h"
#include "net/GamePeer.h"
#include "platform/Settings.h"
#include "support/ParoxLog.h"
#include "transfer/ClientServerController.h"
#include "transfer/MRTransferController.h"
#include "ui/IDDragTableView.h"
#include "ui/SheetPresenter.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressBar>
#include <QTimer>
#include <QtMath>
#include <algorithm>
#include <utility>

namespace vantle {
namespace {

// The download bar's units: 64 KiB each, as the upload bar's.
constexpr double kUnitsPerByte = 1.0 / 65536.0;
// Where the bar lies over the row of the file being downloaded: in place of its size line.
constexpr int kBarLeft = 50;
constexpr int kBarTop = 23;
constexpr int kBarRightMargin = 10;
constexpr int kBarHeight = 10;

} // namespace

bool PhonePane::requestFile(const QString& path) {
    // On its way out: nothing downloads an item being removed.
    if (mReceivingFiles.contains(path) || mRemoving.contains(path)) return false;
    mReceivingFiles.append(path);
    tellReceiving();
    // Another download is asked for, runs, or is being moved into place: this one waits its
    // turn.
    if (mReceivingFiles.size() > 1 || mDownloadStage != DownloadStage::Receiving) return false;
    return requestNextFile();
}

void PhonePane::tellReceiving() {
    const QString first = mReceivingFiles.isEmpty()
                              ? QString()
                              : PhoneNodeInfo(mReceivingFiles.front(), false).lastPathComponent();
    emit receivingChanged(first, static_cast<int>(mReceivingFiles.size()));
}

bool PhonePane::requestNextFile() {
    if (mReceivingFiles.isEmpty()) return false;
    const QString path = mReceivingFiles.front();
    PhoneNodeInfoPtr node = PhoneNodeInfo::existingNode(path);
    if (!node) node = PhoneNodeInfo::nodeWithPath(path, false);
    node->setUploading(true);
    mPhone->refreshPath(path);
    mParts.transfer.resetDownloadOperation();
    // The phone's silence counts from its yes.
    if (mDownloadSilenceTimer) mDownloadSilenceTimer->stop();
    mDownloadStage = DownloadStage::Requesting;
    mWhileRequesting = {};
    const std::shared_ptr<GamePeer> phone = mParts.clientServer.peer();
    mDownloadPhone = phone ? phone->name().value_or(QString()) : QString();
    mDownloadTotal.reset();
    mDownloadFailure.reset();
    const quint64 tag = ++mRequestTag;
    mWorkers.runThenCallback(
        [transfer = &mParts.transfer, path] { return transfer->requestRemoteFile(path); },
        [this, tag](bool granted) { requestAnswered(tag, granted); });
    return true;
}

void PhonePane::requestAnswered(quint64 tag, bool granted) {
    // The connection went since, and the queue with it.
    if (tag != mRequestTag || mReceivingFiles.isEmpty()) return;
    mDownloadStage = DownloadStage::Receiving;
    const WhileRequesting meanwhile = std::exchange(mWhileRequesting, {});
    const QString path = mReceivingFiles.front();
    if (!granted) {
        // Left first in line, a file the phone would not send would hold up every later one.
        ParoxLog("requestRemoteFile failed: %@", path);
        if (const PhoneNodeInfoPtr node = PhoneNodeInfo::existingNode(path))
            node->setUploading(false);
        mPhone->refreshPath(path);
        mReceivingFiles.removeFirst();
        mDropDestinations.remove(path);
        tellReceiving();
        requestNextFile();
        return;
    }
    if (mDownloadSilenceTimer) mDownloadSilenceTimer->start();
    // A stop holds even when the item has all arrived meanwhile: it then ends as stopped.
    if (meanwhile.stopped) cancelDownload();
    if (meanwhile.endedFinished) fileDownloaded(*meanwhile.endedFinished);
}

void PhonePane::cancelDownload() {
    // Stopped once the phone has answered, as it always was: the request itself sets up the
    // download the transfer layer expects, and a refused one leaves nothing to stop.
    if (mDownloadStage == DownloadStage::Requesting) {
        mWhileRequesting.stopped = true;
        return;
    }
    mParts.transfer.cancelDownloadOperation();
}

void PhonePane::forgetDropDestination(const QString& path) {
    mDropDestinations.remove(path);
}

void PhonePane::downloadTo(const QString& path, const QString& folder) {
    const PhoneNodeInfoPtr node = PhoneNodeInfo::existingNode(path);
    if (!node || mReceivingFiles.contains(path)) return;
    node->setShouldOpenAfterDownload(false);
    mDropDestinations.insert(path, folder);
    requestFile(path);
    if (!mReceivingFiles.contains(path)) mDropDestinations.remove(path);
}

void PhonePane::askDownloadTo(int row) {
    const PhoneNodeInfoPtr node = mPhone->nodeAtRow(row);
    if (!node) return;
    QFileDialog* dialog = folderDialog(mParts.window, tr("Download To"), tr("Download"));
    dialog->setObjectName(QStringLiteral("downloadToDialog"));
    const QString path = node->path();
    mParts.presenter.showSheet(dialog, [this, dialog, path](int result) {
        const QString folder = dialog->selectedFiles().value(0);
        dialog->deleteLater();
        if (result == QDialog::Accepted && QFileInfo(folder).isDir()) downloadTo(path, folder);
    });
}

void PhonePane::downloadProgress(quint64 total, quint64 current) {
    mDownloadTotal = total;
    const double units = double(total) * kUnitsPerByte;
    const int maximum = qMax(1, qCeil(units));
    if (downloadProgressIndicator->isHidden() && !mReceivingFiles.isEmpty()) {
        if (const int row = mPhone->rowForPath(mReceivingFiles.front()); row >= 0) {
            const QRect rect = phoneTable_->visualRect(mPhone->index(row, 0));
            downloadProgressIndicator->setGeometry(rect.x() + kBarLeft, rect.y() + kBarTop,
                                                   rect.width() - kBarLeft - kBarRightMargin,
                                                   kBarHeight);
        }
        downloadProgressIndicator->setAccessibleName(
            tr("Downloading %1")
                .arg(PhoneNodeInfo(mReceivingFiles.front(), false).lastPathComponent()));
        downloadProgressIndicator->show();
    }
    constexpr quint64 kPercent = 100;
    mPhone->setDownloadPercent(mReceivingFiles.value(0),
                               total ? int(std::min(current, total) * kPercent / total) : 0);
    downloadProgressIndicator->setRange(0, maximum);
    downloadProgressIndicator->setValue(
        units > 1.0 ? qMin(maximum, int(double(current) * kUnitsPerByte)) : maximum);
}

void PhonePane::hideDownloadBar() {
    if (mPhone) mPhone->setDownloadPercent({}, std::nullopt);
    if (!downloadProgressIndicator) return;
    downloadProgressIndicator->setValue(0);
    downloadProgressIndicator->hide();
}

void PhonePane::fileDownloaded(bool finished) {
    ParoxLog("fileDownloaded");
    // Its item is being moved into place already: a second word of its end changes nothing.
    if (mDownloadStage == DownloadStage::MovingIntoPlace) return;
    // The phone's end overtook its answer to the request.
    if (mDownloadStage == DownloadStage::Requesting) {
        if (!mWhileRequesting.endedFinished) mWhileRequesting.endedFinished = finished;
        return;
    }
    const QString asked = mReceivingFiles.value(0);
    const std::optional<QString> root = mParts.transfer.lastDownloadRoot();
    // Stopped by the user after its last piece: it ends as stopped, not as a failure to save, and
    // what arrived of it goes.
    if (!root || !finished || asked.isEmpty() || mParts.transfer.downloadCancelled()) {
        if (!asked.isEmpty())
            reportDownloadEnd(asked,
                              mDownloadFailure ? TransferResult::Failed : TransferResult::Cancelled,
                              mDownloadFailure.value_or(QString()));
        endDownload(asked);
        return;
    }
    ParoxLog("fileDownloaded: %@", *root);
    const Landing landing =
        mDropDestinations.contains(asked) ? Landing::DropDestination : Landing::UsersFolder;
    const std::optional<QString> folder = landing == Landing::DropDestination
                                              ? std::optional(mDropDestinations.value(asked))
                                              : usersDownloadFolder();
    // The row stays marked and the bar turns busy while the item is put in place.
    mDownloadStage = DownloadStage::MovingIntoPlace;
    if (downloadProgressIndicator) downloadProgressIndicator->setRange(0, 0);
    mWorkers.runThenCallback(
        [transfer = &mParts.transfer, name = *root, folder] {
            return transfer->finishDownload(name, folder);
        },
        [this, asked, name = *root, landing](const Result<QString>& finalFile) {
            downloadMovedIntoPlace(asked, name, landing, finalFile);
        });
}

void PhonePane::downloadMovedIntoPlace(const QString& asked, const QString& root, Landing landing,
                                       const Result<QString>& finalFile) {
    mDownloadStage = DownloadStage::Receiving;
    if (!finalFile) {
        ParoxLog("finishDownload %@: %@", root, finalFile.error());
        showDownloadFailure(root, finalFile.error());
        reportDownloadEnd(asked, TransferResult::Failed, finalFile.error());
    } else {
        ParoxLog("finalFile %@", *finalFile);
        reportDownloadEnd(asked, TransferResult::Done, {}, *finalFile);
        const QFileInfo info(*finalFile);
        const PhoneNodeInfoPtr node = PhoneNodeInfo::existingNode(asked);
        if (info.exists()) {
            if (!info.isDir() && VantleUtilities::isOpenableFile(*finalFile) && node &&
                node->shouldOpenAfterDownload())
                mOpener.open(*finalFile);
            else if (landing == Landing::UsersFolder)
                mOpener.reveal(*finalFile);
        }
    }
    endDownload(asked);
}

std::optional<QString> PhonePane::usersDownloadFolder() {
    const std::optional<QString> chosen = Defaults::get(settings::kDownloadFolder);
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    return chosen;
}

void PhonePane::reportDownloadEnd(const QString& asked, TransferResult result,
                                  const QString& reason, const QString& localPath) {
    TransferRecord record;
    record.time = QDateTime::currentDateTimeUtc();
    record.direction = TransferDirection::Received;
    record.result = result;
    record.name = PhoneNodeInfo(asked, false).lastPathComponent();
    record.size = mDownloadTotal;
    if (const QFileInfo file(localPath); !record.size && file.isFile())
        record.size = static_cast<quint64>(file.size());
    record.phoneName = mDownloadPhone;
    record.localPath = localPath;
    record.reason = reason;
    emit downloadEnded(record);
}

void PhonePane::endDownload(const QString& asked) {
    hideDownloadBar();
    if (const PhoneNodeInfoPtr node = PhoneNodeInfo::existingNode(asked)) {
        node->setUploading(false);
        mPhone->refreshPath(asked);
    }
    mParts.transfer.resetDownloadOperation();
    // The connection may have gone meanwhile, and with it the list.
    if (!mReceivingFiles.isEmpty() && mReceivingFiles.front() == asked) {
        mDropDestinations.remove(mReceivingFiles.takeFirst());
        tellReceiving();
    }
    if (!mReceivingFiles.isEmpty()) requestNextFile();
}

void PhonePane::downloadFailed(const QString& reason) {
    // Nothing is under way any more (the connection went first): there is no one to tell.
    if (mReceivingFiles.isEmpty()) return;
    showDownloadFailure(PhoneNodeInfo(mReceivingFiles.front(), false).lastPathComponent(), reason,
                        DownloadFailure::NotReceived);
    mDownloadFailure = reason;
    fileDownloaded(false);
}

void PhonePane::showDownloadFailure(const QString& name, const QString& error,
                                    DownloadFailure failure) {
    // One pass of arg(): neither the name nor the reason is read as a format.
    const bool received = failure != DownloadFailure::NotReceived;
    const QString text = received ? tr("\"%1\" arrived but could not be saved: %2").arg(name, error)
                                  : tr("\"%1\" could not be downloaded: %2.").arg(name, error);
    // Saving is what failed only when the item did arrive.
    mParts.presenter.tell(received ? tr("Unable To Save Download") : tr("Download Failed"), text);
}

} // namespace vantle
