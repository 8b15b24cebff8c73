#include "app/QueueDataSource.h"

#include "app/FileRowData.h"
#include "app/QueueHost.h"
#include "platform/NotificationCenter.h"
#include "support/ParoxLog.h"

#include <QHash>
#include <algorithm>
#include <utility>

namespace vantle {

namespace {

// Far more than reading or adding thousands of items takes; what is later stays on its way.
constexpr std::chrono::milliseconds kFinishLimit{10000};

} // namespace

QueueDataSource::QueueDataSource(const QString& storePath, QObject* parent)
    : QAbstractTableModel(parent), mQueue(std::make_unique<MorrowFileQueue>(
                                       storePath, nullptr, MorrowFileQueue::Loading::Later)) {
    // Reading and checking thousands of items would hold up the window that shows them.
    startWork([storePath] { return Work{WorkKind::Load, MorrowFileQueue::readNodes(storePath)}; });
    mInfoTimer.setParent(this);
    mInfoTimer.setSingleShot(true);
    mInfoTimer.setInterval(0);
    connect(&mInfoTimer, &QTimer::timeout, this, &QueueDataSource::refreshAllRows);
    NotificationCenter::defaultCenter().addObserver(
        FSNodeInfo::kInfoChangedNotification, this,
        [this](const Notification& notification) { infoChanged(notification); });
}

QueueDataSource::~QueueDataSource() {
    NotificationCenter::defaultCenter().removeObservers(this);
    // Files just dropped are still saved; the host may be gone by now.
    mHost = nullptr;
    if (!mWork.finish(kFinishLimit)) ParoxLog("the queue went with files still being added");
}

void QueueDataSource::startWork(std::function<Work()> work, WhenSaved whenSaved) {
    const bool started = mWork.runThenCallback(
        std::move(work), [this, whenSaved](const Work& done) { takeIn(done, whenSaved); });
    if (!started && whenSaved) whenSaved(false);
}

void QueueDataSource::takeIn(const Work& work, const WhenSaved& whenSaved) {
    int count = 0;
    if (work.kind == WorkKind::Load)
        mQueue->restore(work.nodes);
    else
        count = mQueue->addNodes(work.nodes);
    syncRows();
    changed();
    if (work.kind == WorkKind::Load)
        emit loaded();
    else
        emit added(count);
    // Told only once the batch is in the file: a quit right after loses nothing told as taken.
    if (whenSaved) whenSaved(mQueue->flush().ok());
}

Result<void> QueueDataSource::flush() {
    const bool finished = mWork.finish(kFinishLimit);
    const Result<void> written = mQueue->flush();
    if (!finished)
        return Result<void>::failure(
            QStringLiteral("files were still being added after %1 ms").arg(kFinishLimit.count()));
    return written;
}

void QueueDataSource::setHost(QueueHost* host) {
    mHost = host;
    mQueue->setHost(host);
}

int QueueDataSource::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(mRows.size());
}

int QueueDataSource::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

QVariant QueueDataSource::data(const QModelIndex& index, int role) const {
    const FSNodeInfoPtr node = index.column() == 0 ? nodeAtRow(index.row()) : nullptr;
    if (!node || index.parent().isValid()) return {};
    return fileRowData(*node, role, FileTable::Queue, node->isDirectory());
}

Qt::ItemFlags QueueDataSource::flags(const QModelIndex& index) const {
    return fileRowFlags(index);
}

void QueueDataSource::addFiles(const QStringList& paths, WhenSaved whenSaved) {
    // Dated now, not when the nodes are made: the user dropped them now.
    startWork(
        [paths, date = MorrowFileQueue::currentDateText()] {
            return Work{WorkKind::Add, MorrowFileQueue::makeNodes(paths, date)};
        },
        std::move(whenSaved));
}

void QueueDataSource::removeNode(const FSNodeInfoPtr& node) {
    mQueue->removeFile(node);
    syncRows();
    changed();
}

void QueueDataSource::removeAtIndex(int row) {
    const FSNodeInfoPtr node = nodeAtRow(row);
    if (!node) return;
    // The queue stops an upload of the item itself; the first row is the one an upload takes
    // next, so its removal stops (and restarts) the upload flow in any case, once.
    const bool stoppedByQueue = node->uploading();
    mQueue->removeFile(node);
    syncRows();
    if (row == 0 && !stoppedByQueue && mHost) mHost->stopButton();
    changed();
}

void QueueDataSource::deleteSelected(const QList<int>& rows) {
    QList<int> ordered = rows;
    std::sort(ordered.begin(), ordered.end());
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
    // All nodes first: each removal renumbers the rows after it.
    QList<FSNodeInfoPtr> nodes;
    for (int row : ordered)
        if (FSNodeInfoPtr node = nodeAtRow(row)) nodes.append(std::move(node));
    mQueue->removeFiles(nodes);
    syncRows();
    changed();
}

void QueueDataSource::deleteSelected(const QModelIndexList& indexes) {
    QList<int> rows;
    for (const QModelIndex& index : indexes)
        if (index.isValid() && index.model() == this) rows.append(index.row());
    deleteSelected(rows);
}

FSNodeInfoPtr QueueDataSource::getNextFile() {
    return mQueue->pathAtIndex(0);
}

FSNodeInfoPtr QueueDataSource::nodeAtRow(int row) const {
    if (row < 0 || size_t(row) >= mRows.size()) return nullptr;
    return mRows[size_t(row)].node;
}

void QueueDataSource::revealAtIndex(int row) const {
    if (const FSNodeInfoPtr node = nodeAtRow(row)) node->revealFile();
}

void QueueDataSource::refreshNode(const FSNodeInfoPtr& node) {
    const auto found = std::find_if(mRows.cbegin(), mRows.cend(),
                                    [&](const Row& row) { return row.node == node; });
    if (found == mRows.cend()) return;
    const QModelIndex changedIndex = index(int(found - mRows.cbegin()), 0);
    emit dataChanged(changedIndex, changedIndex);
}

void QueueDataSource::changed() {
    if (mHost) mHost->queueTableChanged();
}

void QueueDataSource::syncRows() {
    removeStaleRows();
    insertNewRows();
}

void QueueDataSource::removeStaleRows() {
    const std::vector<FSNodeInfoPtr>& queued = mQueue->nodesInOrder();
    QHash<const FSNodeInfo*, QString> dates;
    dates.reserve(qsizetype(queued.size()));
    for (const FSNodeInfoPtr& node : queued)
        dates.insert(node.get(), node->dateAdded());
    // A row goes when its item left the queue or was queued again under a later date.
    const auto stale = [&](const Row& row) {
        const auto found = dates.constFind(row.node.get());
        return found == dates.constEnd() || *found != row.dateAdded;
    };
    int last = int(mRows.size()) - 1;
    while (last >= 0) {
        if (!stale(mRows[size_t(last)])) {
            --last;
            continue;
        }
        int first = last;
        while (first > 0 && stale(mRows[size_t(first - 1)]))
            --first;
        beginRemoveRows(QModelIndex(), first, last);
        mRows.erase(mRows.begin() + first, mRows.begin() + last + 1);
        endRemoveRows();
        last = first - 1;
    }
}

void QueueDataSource::insertNewRows() {
    // What stays is in queue order already, so every run of new items goes in where it stands.
    const std::vector<FSNodeInfoPtr>& queued = mQueue->nodesInOrder();
    size_t at = 0;
    while (at < queued.size()) {
        const FSNodeInfo* kept = at < mRows.size() ? mRows[at].node.get() : nullptr;
        if (queued[at].get() == kept) {
            ++at;
            continue;
        }
        size_t end = at;
        while (end < queued.size() && queued[end].get() != kept)
            ++end;
        beginInsertRows(QModelIndex(), int(at), int(end) - 1);
        std::vector<Row> added;
        added.reserve(end - at);
        for (size_t i = at; i < end; ++i)
            added.push_back(Row{queued[i], queued[i]->dateAdded()});
        mRows.insert(mRows.begin() + std::ptrdiff_t(at), added.begin(), added.end());
        endInsertRows();
        at = end;
    }
}

void QueueDataSource::infoChanged(const Notification& notification) {
    // A folder's size names its node; a new icon only comes as the image.
    if (const auto node = notification.object.value<FSNodeInfoPtr>())
        refreshNode(node);
    else
        mInfoTimer.start();
}

void QueueDataSource::refreshAllRows() {
    if (mRows.empty()) return;
    emit dataChanged(index(0, 0), index(int(mRows.size()) - 1, 0),
                     {Qt::DecorationRole, SizeLineRole, Qt::AccessibleTextRole});
}

} // namespace vantle
