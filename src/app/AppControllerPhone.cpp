// The phone's files: the listing and its icons and sizes, downloads one at a time, removals.
#include "app/AppController.h"
#include "app/PhoneDataSource.h"
#include "files/FSNodeInfo.h"
#include "files/VantleUtilities.h"
#include "support/ParoxLog.h"
#include "ui/IDDragTableView.h"
#include "ui/MRWindow.h"
#include "ui/SheetPresenter.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressBar>
#include <QTimer>
#include <QtMath>
#include <chrono>

namespace vantle {
namespace {

// The download bar's units: 64 KiB each, as the upload bar's.
constexpr double kUnitsPerByte = 1.0 / 65536.0;
// Where the bar lies over the row of the file being downloaded: in place of its size line.
constexpr int kBarLeft = 50;
constexpr int kBarTop = 23;
constexpr int kBarRightMargin = 10;
constexpr int kBarHeight = 10;
// The phone's store, as a listing asks for it.
const char kStoreRoot[] = "/";
// How often a download under way is checked for a phone gone silent.
constexpr int kDownloadSilenceCheckMs = 500;

QString removalQuestion(const QStringList& paths) {
    // Built by concatenation: a file's name is never read as a format.
    if (paths.size() == 1)
        return QStringLiteral("Remove \"") +
               PhoneNodeInfo(paths.front(), false).lastPathComponent() +
               QStringLiteral("\" from the iPhone?");
    return QStringLiteral("Remove %1 items from the iPhone?").arg(paths.size());
}

} // namespace

void AppController::connectPhoneTable() {
    mDownloadSilenceTimer = new QTimer(this);
    mDownloadSilenceTimer->setInterval(kDownloadSilenceCheckMs);
    connect(mDownloadSilenceTimer, &QTimer::timeout, this, [this] {
        if (mReceivingFiles.isEmpty())
            mDownloadSilenceTimer->stop();
        else
            _transfer->endSilentDownload();
    });
    IDDragTableView* table = phoneTable_;
    connect(table, &IDDragTableView::rowActivated, this,
            [this](int row) { mPhone->downloadRow(row, true); });
    connect(table, &IDDragTableView::revealRequested, this,
            [this](int row) { mPhone->downloadRow(row, false); });
    connect(table, &IDDragTableView::removeRequested, this, [this](int row) {
        if (const PhoneNodeInfoPtr node = mPhone->nodeAtRow(row)) askToRemove({node->path()});
    });
    connect(table, &IDDragTableView::deleteRequested, this, [this] {
        QStringList paths;
        for (const QModelIndex& index : phoneTable_->selectionModel()->selectedRows())
            if (const PhoneNodeInfoPtr node = mPhone->nodeAtRow(index.row())) paths << node->path();
        if (!paths.isEmpty()) askToRemove(paths);
    });

    const auto addRowAction = [this, table](const QString& name, const QString& title, auto act) {
        auto* action = new QAction(title, table);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [table, act] {
            if (const int row = table->contextRow(); row >= 0) act(row);
        });
        table->addAction(action);
        mActions.insert(name, action);
    };
    addRowAction(QStringLiteral("downloadFile:"), QStringLiteral("Download"),
                 [this](int row) { mPhone->downloadRow(row, false); });
    addRowAction(QStringLiteral("downloadAndOpen:"), QStringLiteral("Download and Open"),
                 [this](int row) { mPhone->downloadRow(row, true); });
    addRowAction(QStringLiteral("downloadTo:"), QStringLiteral("Download To..."),
                 [this](int row) { askDownloadTo(row); });
    addRowAction(QStringLiteral("removeFile:"), QStringLiteral("Remove"),
                 [table](int) { emit table->deleteRequested(); });
}

// --- Listing ---

void AppController::refreshPhoneListing() {
    hideDownloadBar();
    if (!connected()) {
        gotListing(std::nullopt);
        return;
    }
    // A burst of changes would otherwise fetch the whole listing once per change.
    if (mListingWork != PhoneWork::Idle) {
        mListingWork = PhoneWork::RunningAndStale;
        return;
    }
    mListingWork = PhoneWork::Running;
    MRTransferController* transfer = _transfer.get();
    startPhoneWorker([this, transfer] {
        ParoxLog("getListingFromDeviceThread");
        std::optional<QMap<QString, ListingEntry>> listing =
            transfer->getDirectoryListingPlus(QLatin1String(kStoreRoot));
        QMetaObject::invokeMethod(
            this, [this, listing = std::move(listing)] { listingArrived(listing); },
            Qt::QueuedConnection);
    });
}

void AppController::listingArrived(const std::optional<QMap<QString, ListingEntry>>& listing) {
    const bool stale = mListingWork == PhoneWork::RunningAndStale;
    mListingWork = PhoneWork::Idle;
    gotListing(listing);
    if (stale) refreshPhoneListing();
}

void AppController::gotListing(const std::optional<QMap<QString, ListingEntry>>& listing) {
    for (const QString& path : mPhone->refreshListingFromDevice(listing))
        mIconsAwaited.remove(path);
    // A new listing hands out the nodes with their flags cleared: the running download keeps its.
    if (!mReceivingFiles.isEmpty())
        if (const PhoneNodeInfoPtr node = PhoneNodeInfo::existingNode(mReceivingFiles.front()))
            node->setUploading(true);
    updateSizesAndIcons();
}

void AppController::updateSizesAndIcons() {
    // A second worker would ask for the same icons again, and the requests of the main thread
    // would wait behind both.
    if (mIconsWork != PhoneWork::Idle) {
        mIconsWork = PhoneWork::RunningAndStale;
        return;
    }
    // Copied here: the worker never reads the rows, which a new listing may rebuild meanwhile.
    const QStringList paths = mPhone->pathsWithoutIconsAndSizes();
    if (paths.isEmpty()) return;
    mIconsWork = PhoneWork::Running;
    mIconsAwaited = QSet<QString>(paths.cbegin(), paths.cend());
    MRTransferController* transfer = _transfer.get();
    startPhoneWorker([this, transfer, paths] {
        const std::optional<QMap<QString, IconAndSize>> answer = transfer->getIconsAndSizes(paths);
        std::optional<PhoneIconsAndSizes> ready;
        if (answer) {
            // Decoded here, so that thousands of icons never hold up the window.
            ready.emplace();
            for (auto entry = answer->cbegin(); entry != answer->cend(); ++entry)
                ready->insert(
                    entry.key(),
                    {PhoneNodeInfo::iconFromData(entry.value().icon.value_or(QByteArray())),
                     FSNodeInfo::getSizeText(quint64(qMax<qint64>(0, entry.value().size)))});
        }
        QMetaObject::invokeMethod(
            this, [this, ready = std::move(ready)] { iconsArrived(ready); }, Qt::QueuedConnection);
    });
}

void AppController::iconsArrived(const std::optional<PhoneIconsAndSizes>& answer) {
    const bool stale = mIconsWork == PhoneWork::RunningAndStale;
    mIconsWork = PhoneWork::Idle;
    if (answer) {
        PhoneIconsAndSizes current;
        for (auto entry = answer->cbegin(); entry != answer->cend(); ++entry)
            if (mIconsAwaited.contains(entry.key())) current.insert(entry.key(), entry.value());
        gotIconsAndSizes(current);
    }
    mIconsAwaited.clear();
    if (stale) updateSizesAndIcons();
}

void AppController::gotIconsAndSizes(const PhoneIconsAndSizes& answer) {
    mPhone->setIconsAndSizes(answer);
    mPhone->reloadData();
}

void AppController::phoneItemChanged(const QString& path) {
    forgetIconAndSize(path);
    mPhone->refreshPath(path);
    updateSizesAndIcons();
}

void AppController::forgetIconAndSize(const QString& path) {
    if (const PhoneNodeInfoPtr node = PhoneNodeInfo::existingNode(path)) node->forgetIconAndSize();
    mIconsAwaited.remove(path);
}

void AppController::startPhoneWorker(std::function<void()> work) {
    std::erase_if(mPhoneWorkers, [](const std::future<void>& worker) {
        return worker.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    mPhoneWorkers.push_back(std::async(std::launch::async, std::move(work)));
}

void AppController::waitForPhoneWorkers() {
    // Their requests end with the connection; what they hand over then finds no controller.
    for (std::future<void>& worker : mPhoneWorkers)
        worker.wait();
    mPhoneWorkers.clear();
}

// --- Downloads ---

bool AppController::requestFile(const QString& path) {
    if (mReceivingFiles.contains(path)) return false;
    mReceivingFiles.append(path);
    // Another download runs, or is being moved into place: this one waits its turn.
    if (mReceivingFiles.size() > 1 || mDownloadStage == DownloadStage::MovingIntoPlace)
        return false;
    return requestNextFile();
}

bool AppController::requestNextFile() {
    while (!mReceivingFiles.isEmpty()) {
        const QString path = mReceivingFiles.front();
        PhoneNodeInfoPtr node = PhoneNodeInfo::existingNode(path);
        if (!node) node = PhoneNodeInfo::nodeWithPath(path, false);
        node->setUploading(true);
        mPhone->refreshPath(path);
        _transfer->resetDownloadOperation();
        if (_transfer->requestRemoteFile(path)) {
            if (mDownloadSilenceTimer) mDownloadSilenceTimer->start();
            return true;
        }
        // Left first in line, a file the phone would not send would hold up every later one.
        ParoxLog("requestRemoteFile failed: %@", path);
        node->setUploading(false);
        mPhone->refreshPath(path);
        mReceivingFiles.removeFirst();
        mDropDestinations.remove(path);
    }
    return false;
}

void AppController::cancelDownload() {
    _transfer->cancelDownloadOperation();
}

void AppController::forgetDropDestination(const QString& path) {
    mDropDestinations.remove(path);
}

void AppController::downloadTo(const QString& path, const QString& folder) {
    const PhoneNodeInfoPtr node = PhoneNodeInfo::existingNode(path);
    if (!node || mReceivingFiles.contains(path)) return;
    node->setShouldOpenAfterDownload(false);
    mDropDestinations.insert(path, folder);
    requestFile(path);
    if (!mReceivingFiles.contains(path)) mDropDestinations.remove(path);
}

void AppController::askDownloadTo(int row) {
    const PhoneNodeInfoPtr node = mPhone->nodeAtRow(row);
    if (!node) return;
    auto* dialog = new QFileDialog(_window, QStringLiteral("Download To"));
    dialog->setObjectName(QStringLiteral("downloadToDialog"));
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral("Download"));
    const QString path = node->path();
    mPresenter->showSheet(dialog, [this, dialog, path](int result) {
        const QString folder = dialog->selectedFiles().value(0);
        dialog->deleteLater();
        if (result == QDialog::Accepted && QFileInfo(folder).isDir()) downloadTo(path, folder);
    });
}

void AppController::downloadProgress(const Notification& note) {
    const QVariantList counts = note.userInfo.toList();
    // A refused piece of a cancelled download: it ends here, without a file.
    if (counts.size() < 2) {
        fileDownloaded(false);
        return;
    }
    const qint64 total = counts[0].toLongLong();
    const qint64 current = counts[1].toLongLong();
    const double units = double(total) * kUnitsPerByte;
    const int maximum = qMax(1, qCeil(units));
    if (downloadProgressIndicator->isHidden() && !mReceivingFiles.isEmpty()) {
        if (const int row = mPhone->rowForPath(mReceivingFiles.front()); row >= 0) {
            const QRect rect = phoneTable_->visualRect(mPhone->index(row, 0));
            downloadProgressIndicator->setGeometry(rect.x() + kBarLeft, rect.y() + kBarTop,
                                                   rect.width() - kBarLeft - kBarRightMargin,
                                                   kBarHeight);
        }
        downloadProgressIndicator->show();
    }
    downloadProgressIndicator->setRange(0, maximum);
    downloadProgressIndicator->setValue(
        units > 1.0 ? qMin(maximum, int(double(current) * kUnitsPerByte)) : maximum);
}

void AppController::hideDownloadBar() {
    if (!downloadProgressIndicator) return;
    downloadProgressIndicator->setValue(0);
    downloadProgressIndicator->hide();
}

void AppController::fileDownloaded(bool finished) {
    ParoxLog("fileDownloaded");
    // Its item is being moved into place already: a second word of its end changes nothing.
    if (mDownloadStage == DownloadStage::MovingIntoPlace) return;
    const QString asked = mReceivingFiles.value(0);
    const std::optional<QString> root = _transfer->lastDownloadRoot();
    if (!root || !finished || asked.isEmpty()) {
        endDownload(asked);
        return;
    }
    ParoxLog("fileDownloaded: %@", *root);
    const std::optional<QString> folder = mDropDestinations.contains(asked)
                                              ? std::optional(mDropDestinations.value(asked))
                                              : std::nullopt;
    // The row stays marked and the bar turns busy while the item is put in place.
    mDownloadStage = DownloadStage::MovingIntoPlace;
    if (downloadProgressIndicator) downloadProgressIndicator->setRange(0, 0);
    MRTransferController* transfer = _transfer.get();
    startPhoneWorker([this, transfer, asked, name = *root, folder] {
        const Result<QString> finalFile = transfer->finishDownload(name, folder);
        QMetaObject::invokeMethod(
            this,
            [this, asked, name, folder, finalFile] {
                downloadMovedIntoPlace(asked, name, folder, finalFile);
            },
            Qt::QueuedConnection);
    });
}

void AppController::downloadMovedIntoPlace(const QString& asked, const QString& root,
                                           const std::optional<QString>& folder,
                                           const Result<QString>& finalFile) {
    mDownloadStage = DownloadStage::Receiving;
    if (!finalFile) {
        ParoxLog("finishDownload %@: %@", root, finalFile.error());
        showDownloadFailure(root, finalFile.error());
    } else {
        ParoxLog("finalFile %@", *finalFile);
        notifyDownloadArrived(*finalFile);
        const QFileInfo info(*finalFile);
        const PhoneNodeInfoPtr node = PhoneNodeInfo::existingNode(asked);
        if (info.exists()) {
            if (!info.isDir() && VantleUtilities::isOpenableFile(*finalFile) && node &&
                node->shouldOpenAfterDownload())
                mOpener.open(*finalFile);
            else if (!folder)
                mOpener.reveal(*finalFile);
        }
    }
    endDownload(asked);
}

void AppController::endDownload(const QString& asked) {
    hideDownloadBar();
    if (const PhoneNodeInfoPtr node = PhoneNodeInfo::existingNode(asked)) {
        node->setUploading(false);
        mPhone->refreshPath(asked);
    }
    _transfer->resetDownloadOperation();
    // The connection may have gone meanwhile, and with it the list.
    if (!mReceivingFiles.isEmpty() && mReceivingFiles.front() == asked) {
        mDropDestinations.remove(mReceivingFiles.takeFirst());
    }
    if (!mReceivingFiles.isEmpty()) requestNextFile();
}

void AppController::downloadFailed(const Notification& note) {
    // Nothing is under way any more (the connection went first): there is no one to tell.
    if (mReceivingFiles.isEmpty()) return;
    showDownloadFailure(PhoneNodeInfo(mReceivingFiles.front(), false).lastPathComponent(),
                        note.userInfo.toString(), DownloadFailure::NotReceived);
    fileDownloaded(false);
}

void AppController::showDownloadFailure(const QString& name, const QString& error,
                                        DownloadFailure failure) {
    // Concatenated: neither the name nor the reason is read as a format.
    const bool received = failure != DownloadFailure::NotReceived;
    const QString why =
        received
            ? QString(QStringLiteral("\" arrived but could not be saved: ") + error)
            : QString(QStringLiteral("\" could not be downloaded: ") + error + QStringLiteral("."));
    const QString text = QStringLiteral("\"") + name + why;
    // Saving is what failed only when the item did arrive.
    mPresenter->show(
        {received ? QStringLiteral("Unable To Save Download") : QStringLiteral("Download Failed"),
         text,
         {QStringLiteral("OK")},
         {},
         SheetPresenter::Message::Kind::Sheet},
        [](const QString&, bool) {});
}

void AppController::phoneConnectionLost() {
    for (const QString& path : std::as_const(mReceivingFiles))
        if (const PhoneNodeInfoPtr node = PhoneNodeInfo::existingNode(path))
            node->setUploading(false);
    mReceivingFiles.clear();
    mDropDestinations.clear();
    hideDownloadBar();
    ClearNodeCache();
    // What the old connection's icons worker still brings belongs to no node any more.
    mIconsAwaited.clear();
    mPhone->refreshListingFromDevice(std::nullopt);
}

// --- Removal ---

bool AppController::removeFile(const QString& path) {
    // Asked for or under way: the download must end first.
    if (mReceivingFiles.contains(path)) return false;
    if (!_transfer->removeFile(path)) return false;
    hideDownloadBar();
    // Its row goes: nothing is asked for it, and the next removal waits for no icons.
    forgetIconAndSize(path);
    return true;
}

void AppController::askToRemove(const QStringList& paths) {
    const QString text = paths.size() == 1
                             ? QStringLiteral("The file is deleted on the iPhone. This cannot be "
                                              "undone.")
                             : QStringLiteral("The items are deleted on the iPhone. This cannot "
                                              "be undone.");
    mPresenter->show({removalQuestion(paths),
                      text,
                      {QStringLiteral("Remove"), QStringLiteral("Cancel")},
                      {},
                      SheetPresenter::Message::Kind::Sheet},
                     [this, paths](const QString& button, bool) {
                         if (button != QLatin1String("Remove")) return;
                         mPhone->removePaths(paths);
                         phoneTable_->clearSelection();
                     });
}

} // namespace vantle
