#include "app/MorrowFileQueue.h"

#include "app/QueueHost.h"
#include "support/ParoxLog.h"
#include "support/StringFormat.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <algorithm>
#include <iterator>

namespace vantle {

const QString MorrowFileQueue::LIBRARY_FILE_NAME = QStringLiteral("MorrowQueue.plist");
const QString MorrowFileQueue::kBadFileSuffix = QStringLiteral(".bad");

namespace {

// Dropped paths may be relative or end in a slash, which would leave the item without a name.
QString queuePath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Nodes outlive their files in the process's node cache: a node alone says nothing of the file.
FSNodeInfoPtr existingNode(const QString& path, const QString& date) {
    if (!QFileInfo::exists(path)) return nullptr;
    return FSNodeInfo::nodeWithPath(path, date);
}

bool byDate(const FSNodeInfoPtr& a, const FSNodeInfoPtr& b) {
    return a->byDate(*b) < 0;
}

// Batches come sorted from the thread that made them: on the main thread they only merge in.
void sortByDate(std::vector<FSNodeInfoPtr>& nodes) {
    if (!std::is_sorted(nodes.begin(), nodes.end(), byDate))
        std::sort(nodes.begin(), nodes.end(), byDate);
}

// A path given twice in a batch, however spelt, has one node: queued twice it would leave a
// second row behind once the item is sent or removed. Sorted, the repeats are neighbours.
void sortUnique(std::vector<FSNodeInfoPtr>& nodes) {
    sortByDate(nodes);
    nodes.erase(std::unique(nodes.begin(), nodes.end()), nodes.end());
}

} // namespace

QString MorrowFileQueue::defaultStorePath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/') +
           LIBRARY_FILE_NAME;
}

QString MorrowFileQueue::currentDateText() {
    // The date's description, always in UTC: the text order is the time order in any zone.
    return describe(QVariant(QDateTime::currentDateTimeUtc()));
}

MorrowFileQueue::MorrowFileQueue(const QString& storePath, QueueHost* host, Loading loading)
    : mDefaultStorePath(storePath), mHost(host), mWriter(storePath) {
    if (loading == Loading::Now) restore(readNodes(storePath));
}

std::vector<FSNodeInfoPtr> MorrowFileQueue::readNodes(const QString& storePath) {
    ParoxLog("reading prefs from %@", storePath);
    QFile file(storePath);
    if (!file.exists()) return {};
    if (!file.open(QIODevice::ReadOnly)) {
        ParoxLog("cannot read the queue file %@: %@", storePath, file.errorString());
        return {};
    }
    if (file.size() > QueueFile::kMaxFileBytes) {
        keepBadFile(storePath, QStringLiteral("it has %1 bytes").arg(file.size()));
        return {};
    }
    const Result<QList<QueueEntry>> entries =
        QueueFile::decode(file.read(QueueFile::kMaxFileBytes + 1));
    file.close();
    if (!entries) {
        keepBadFile(storePath, entries.error());
        return {};
    }
    std::vector<FSNodeInfoPtr> nodes;
    nodes.reserve(size_t(entries->size()));
    for (const QueueEntry& entry : *entries)
        if (FSNodeInfoPtr node = existingNode(entry.path, entry.dateAdded))
            nodes.push_back(std::move(node));
    sortByDate(nodes);
    return nodes;
}

void MorrowFileQueue::restore(const std::vector<FSNodeInfoPtr>& nodes) {
    std::vector<FSNodeInfoPtr> fresh;
    fresh.reserve(nodes.size());
    for (const FSNodeInfoPtr& node : nodes)
        if (!mDataDictionary.contains(node->absolutePath())) fresh.push_back(node);
    insertNodes(std::move(fresh));
}

void MorrowFileQueue::insertNodes(std::vector<FSNodeInfoPtr> nodes) {
    sortUnique(nodes);
    mDataDictionary.reserve(mDataDictionary.size() + qsizetype(nodes.size()));
    bool replacing = false;
    for (const FSNodeInfoPtr& node : nodes) {
        FSNodeInfoPtr& slot = mDataDictionary[node->absolutePath()];
        replacing = replacing || slot;
        slot = node;
    }
    if (!mOrderValid) return;
    if (replacing) {
        // Queued again: the item leaves its old place for the one of its new date.
        QSet<const FSNodeInfo*> again;
        for (const FSNodeInfoPtr& node : nodes)
            again.insert(node.get());
        std::erase_if(mOrder,
                      [&](const FSNodeInfoPtr& node) { return again.contains(node.get()); });
    }
    std::vector<FSNodeInfoPtr> merged;
    merged.reserve(mOrder.size() + nodes.size());
    std::merge(mOrder.begin(), mOrder.end(), nodes.begin(), nodes.end(), std::back_inserter(merged),
               byDate);
    mOrder = std::move(merged);
}

void MorrowFileQueue::keepBadFile(const QString& storePath, const QString& reason) {
    // The next change would overwrite the file: keep what it held where the user can find it.
    const QString bad = storePath + kBadFileSuffix;
    QFile::remove(bad);
    if (QFile::copy(storePath, bad))
        ParoxLog("the queue file %@ cannot be read (%@); the queue starts empty, the file is kept "
                 "as %@",
                 storePath, reason, bad);
    else
        ParoxLog("the queue file %@ cannot be read (%@) nor kept as %@; the queue starts empty",
                 storePath, reason, bad);
}

const std::vector<FSNodeInfoPtr>& MorrowFileQueue::nodesInOrder() const {
    if (!mOrderValid) {
        mOrder.assign(mDataDictionary.cbegin(), mDataDictionary.cend());
        sortByDate(mOrder);
        mOrderValid = true;
    }
    return mOrder;
}

FSNodeInfoPtr MorrowFileQueue::pathAtIndex(int index) const {
    const std::vector<FSNodeInfoPtr>& order = nodesInOrder();
    if (index < 0 || size_t(index) >= order.size()) return nullptr;
    return order[size_t(index)];
}

bool MorrowFileQueue::addFile(const QString& path) {
    return addFiles({path}) == 1;
}

int MorrowFileQueue::addFiles(const QStringList& paths) {
    // One date for the whole batch: files dropped together go in path order even when the second
    // turns while they are added.
    return addNodes(makeNodes(paths, currentDateText()));
}

std::vector<FSNodeInfoPtr> MorrowFileQueue::makeNodes(const QStringList& paths,
                                                      const QString& date) {
    std::vector<FSNodeInfoPtr> nodes;
    nodes.reserve(size_t(paths.size()));
    for (const QString& path : paths) {
        if (path.isEmpty()) continue;
        if (FSNodeInfoPtr node = existingNode(queuePath(path), date))
            nodes.push_back(std::move(node));
        else
            ParoxLog("File in queue has gone away");
    }
    sortUnique(nodes);
    return nodes;
}

int MorrowFileQueue::addNodes(std::vector<FSNodeInfoPtr> nodes) {
    sortUnique(nodes);
    if (nodes.empty()) return 0;
    const int added = int(nodes.size());
    insertNodes(std::move(nodes));
    saveChange();
    return added;
}

bool MorrowFileQueue::removeFile(const FSNodeInfoPtr& node) {
    return removeFiles({node}) == 1;
}

int MorrowFileQueue::removeFiles(const QList<FSNodeInfoPtr>& nodes) {
    int removed = 0;
    for (const FSNodeInfoPtr& node : nodes)
        if (take(node)) ++removed;
    if (removed > 0) saveChange();
    return removed;
}

bool MorrowFileQueue::take(const FSNodeInfoPtr& node) {
    if (!node || node->absolutePath().isEmpty()) return false;
    const QString path = node->absolutePath();
    const FSNodeInfoPtr queued = mDataDictionary.value(path);
    if (!queued) return false;
    if (queued->uploading() && mHost) mHost->stopButton();
    mDataDictionary.remove(path);
    if (mOrderValid) {
        auto at = std::lower_bound(mOrder.begin(), mOrder.end(), queued, byDate);
        if (at == mOrder.end() || *at != queued)
            at = std::find(mOrder.begin(), mOrder.end(), queued);
        if (at != mOrder.end()) mOrder.erase(at);
    }
    if (mHost) mHost->removeIfInTempQueue(path);
    return true;
}

QList<QueueEntry> MorrowFileQueue::entries() const {
    QList<QueueEntry> entries;
    entries.reserve(mDataDictionary.size());
    for (auto item = mDataDictionary.cbegin(); item != mDataDictionary.cend(); ++item)
        entries.append(QueueEntry{item.key(), item.value()->dateAdded()});
    return entries;
}

Result<void> MorrowFileQueue::save() const {
    return QueueFileWriter::writeNow(mDefaultStorePath, entries());
}

void MorrowFileQueue::saveChange() {
    mWriter.write(entries());
}

} // namespace vantle
