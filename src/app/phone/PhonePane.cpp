// The phone's pane: its files listed on a worker, their icons and sizes fetched on another,
// removals.
#include "app/phone/PhonePane.h"

#include "app/PaneWidgets.h"
#include "files/FSNodeInfo.h"
#include "support/ParoxLog.h"
#include "transfer/ClientServerController.h"
#include "transfer/MRTransferController.h"
#include "ui/IDDragTableView.h"
#include "ui/MRFileCell.h"
#include "ui/SheetPresenter.h"

#include <QAction>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QtMath>

namespace vantle {
namespace {

// The phone's store, as a listing asks for it.
const char kStoreRoot[] = "/";
// How often a download under way is checked for a phone gone silent.
constexpr int kDownloadSilenceCheckMs = 500;

QString removalQuestion(const QStringList& paths) {
    if (paths.size() == 1)
        return QCoreApplication::translate("vantle::PhonePane", "Remove \"%1\" from the iPhone?")
            .arg(PhoneNodeInfo(paths.front(), false).lastPathComponent());
    const auto count = static_cast<int>(paths.size());
    return QCoreApplication::translate("vantle::PhonePane", "Remove %n item(s) from the iPhone?",
                                       nullptr, count);
}

} // namespace

PhonePane::PhonePane(Parts parts, QObject* parent) : QObject(parent), mParts(std::move(parts)) {}

PhonePane::~PhonePane() {
    waitForPhoneWorkers();
}

void PhonePane::buildPhonePane(QWidget* pane) {
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(kPaneMargin, 0, kPaneMargin, kPaneMargin);
    mHeading = paneHeading(tr("Open Vantle on iPhone to start the transfer"), pane);
    mHeading->setObjectName(QStringLiteral("phoneHeading"));
    layout->addWidget(mHeading);
    phoneTable_ = new IDDragTableView(pane);
    phoneTable_->setObjectName(QStringLiteral("phoneTable"));
    phoneTable_->setItemDelegate(new MRFileCell(phoneTable_));
    // Nothing is ever dropped on the phone's files.
    phoneTable_->setDropPolicy([] { return false; });
    mPhone = new PhoneDataSource(this, this);
    phoneTable_->setModel(mPhone);
    // Named after the heading, which says whose files these are.
    mHeading->setBuddy(phoneTable_);
    nameAfterHeading(mHeading);
    phoneTable_->setAccessibleDescription(
        tr("Enter downloads the selected file and opens it; the menu key shows Download, "
           "Download To... and Remove; Delete removes it from the phone."));
    layout->addWidget(phoneTable_, 1);
    // The download bar lies over the row of the file being downloaded.
    downloadProgressIndicator = paneProgressBar(phoneTable_->viewport());
    downloadProgressIndicator->setObjectName(QStringLiteral("downloadBar"));
    downloadProgressIndicator->setAccessibleName(tr("Download progress"));
    connectPhoneTable();
}

bool PhonePane::connected() const {
    return mParts.clientServer.connected();
}

void PhonePane::clearLeftoverDownloads() {
    // A download of another process (or one starting now) writes more often than this.
    mWorkers.run([transfer = &mParts.transfer] {
        transfer->clearTemporaryArea(TransferTimeouts{}.downloadSilence);
    });
}

void PhonePane::connectPhoneTable() {
    mDownloadSilenceTimer = new QTimer(this);
    mDownloadSilenceTimer->setInterval(kDownloadSilenceCheckMs);
    connect(mDownloadSilenceTimer, &QTimer::timeout, this, [this] {
        if (mReceivingFiles.isEmpty())
            mDownloadSilenceTimer->stop();
        else
            mParts.transfer.endSilentDownload();
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

    // Found by their names, as the menu's are.
    const auto addRowAction = [this, table](const QString& name, const QString& title, auto act) {
        auto* action = new QAction(title, table);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [table, act] {
            if (const int row = table->contextRow(); row >= 0) act(row);
        });
        table->addAction(action);
    };
    addRowAction(QStringLiteral("downloadFile:"), tr("Download"),
                 [this](int row) { mPhone->downloadRow(row, false); });
    addRowAction(QStringLiteral("downloadAndOpen:"), tr("Download and Open"),
                 [this](int row) { mPhone->downloadRow(row, true); });
    addRowAction(QStringLiteral("downloadTo:"), tr("Download To..."),
                 [this](int row) { askDownloadTo(row); });
    addRowAction(QStringLiteral("removeFile:"), tr("Remove"),
                 [table](int) { emit table->deleteRequested(); });
}

// --- Listing ---

void PhonePane::refreshPhoneListing() {
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
    mWorkers.runThenCallback(
        [transfer = &mParts.transfer] {
            ParoxLog("getListingFromDeviceThread");
            return transfer->getDirectoryListingPlus(QLatin1String(kStoreRoot));
        },
        [this](const std::optional<QMap<QString, ListingEntry>>& listing) {
            listingArrived(listing);
        });
}

void PhonePane::listingArrived(const std::optional<QMap<QString, ListingEntry>>& listing) {
    const bool stale = mListingWork == PhoneWork::RunningAndStale;
    mListingWork = PhoneWork::Idle;
    gotListing(listing);
    if (stale) refreshPhoneListing();
}

void PhonePane::gotListing(const std::optional<QMap<QString, ListingEntry>>& listing) {
    // The rows are made anew: the selection and the keyboard's row stay on their files.
    QStringList selected;
    for (const QModelIndex& index : phoneTable_->selectionModel()->selectedRows())
        if (const PhoneNodeInfoPtr node = mPhone->nodeAtRow(index.row())) selected << node->path();
    const PhoneNodeInfoPtr current = mPhone->nodeAtRow(phoneTable_->currentIndex().row());
    for (const QString& path : mPhone->refreshListingFromDevice(listing))
        mIconsAwaited.remove(path);
    QItemSelectionModel* selection = phoneTable_->selectionModel();
    if (current)
        if (const int row = mPhone->rowForPath(current->path()); row >= 0)
            selection->setCurrentIndex(mPhone->index(row, 0), QItemSelectionModel::NoUpdate);
    for (const QString& path : std::as_const(selected))
        if (const int row = mPhone->rowForPath(path); row >= 0)
            selection->select(mPhone->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    // A new listing hands out the nodes with their flags cleared: the running download keeps its.
    if (!mReceivingFiles.isEmpty())
        if (const PhoneNodeInfoPtr node = PhoneNodeInfo::existingNode(mReceivingFiles.front()))
            node->setUploading(true);
    updateSizesAndIcons();
}

void PhonePane::updateSizesAndIcons() {
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
    mWorkers.runThenCallback(
        [transfer = &mParts.transfer, paths] {
            const std::optional<QMap<QString, IconAndSize>> answer =
                transfer->getIconsAndSizes(paths);
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
            return ready;
        },
        [this](const std::optional<PhoneIconsAndSizes>& ready) { iconsArrived(ready); });
}

void PhonePane::iconsArrived(const std::optional<PhoneIconsAndSizes>& answer) {
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

void PhonePane::gotIconsAndSizes(const PhoneIconsAndSizes& answer) {
    mPhone->setIconsAndSizes(answer);
    mPhone->reloadData();
}

void PhonePane::phoneItemChanged(const QString& path) {
    forgetIconAndSize(path);
    mPhone->refreshPath(path);
    updateSizesAndIcons();
}

void PhonePane::forgetIconAndSize(const QString& path) {
    if (const PhoneNodeInfoPtr node = PhoneNodeInfo::existingNode(path)) node->forgetIconAndSize();
    mIconsAwaited.remove(path);
}

void PhonePane::waitForPhoneWorkers() {
    // Their requests end with the connection; what they would hand over is dropped.
    const bool removalsEnded = mRemovals.shutDown(kWorkersEndLimit);
    if (!mWorkers.shutDown(kWorkersEndLimit) || !removalsEnded)
        ParoxLog("the phone's workers are slow to end");
}

void PhonePane::phoneConnectionLost() {
    // One being moved into place arrived all the same, and says so once it is in.
    if (!mReceivingFiles.isEmpty() && mDownloadStage != DownloadStage::MovingIntoPlace)
        reportDownloadEnd(mReceivingFiles.front(), TransferResult::Failed, connectionLostReason());
    for (const QString& path : std::as_const(mReceivingFiles))
        if (const PhoneNodeInfoPtr node = PhoneNodeInfo::existingNode(path))
            node->setUploading(false);
    mReceivingFiles.clear();
    tellReceiving();
    mDropDestinations.clear();
    ++mRequestTag;
    if (mDownloadStage == DownloadStage::Requesting) mDownloadStage = DownloadStage::Receiving;
    hideDownloadBar();
    ClearNodeCache();
    // What the old connection's icons worker still brings belongs to no node any more.
    mIconsAwaited.clear();
    mPhone->refreshListingFromDevice(std::nullopt);
}

// --- Removal ---

void PhonePane::removeFromPhone(const QStringList& paths) {
    QStringList asked;
    // Asked for or under way: the download must end first.
    for (const QString& path : paths)
        if (!mReceivingFiles.contains(path)) asked << path;
    if (asked.isEmpty()) {
        phoneTable_->clearSelection();
        return;
    }
    mRemoving += asked;
    mRemovals.runThenCallback(
        [transfer = &mParts.transfer, asked] {
            QStringList removed;
            for (const QString& path : asked)
                if (transfer->removeFile(path)) removed << path;
            return removed;
        },
        [this, asked](const QStringList& removed) { removalAnswered(asked, removed); });
}

void PhonePane::removalAnswered(const QStringList& asked, const QStringList& removed) {
    for (const QString& path : asked)
        mRemoving.removeOne(path);
    if (!removed.isEmpty()) hideDownloadBar();
    // Their rows go: nothing is asked for them, and the next removal waits for no icons.
    for (const QString& path : removed)
        forgetIconAndSize(path);
    mPhone->removeRows(removed);
    phoneTable_->clearSelection();
}

void PhonePane::askToRemove(const QStringList& paths) {
    const QString text = paths.size() == 1
                             ? tr("The file is deleted on the iPhone. This cannot be undone.")
                             : tr("The items are deleted on the iPhone. This cannot be undone.");
    mParts.presenter.show({removalQuestion(paths),
                           text,
                           {{tr("Remove"), SheetPresenter::Role::Remove},
                            {tr("Cancel"), SheetPresenter::Role::Cancel}},
                           std::nullopt,
                           SheetPresenter::Kind::Sheet},
                          [this, paths](SheetPresenter::Role role, bool) {
                              if (role == SheetPresenter::Role::Remove) removeFromPhone(paths);
                          });
}

} // namespace vantle
