#include "app/MorrowFileQueue.h"

#include "app/QueueHost.h"
#include "support/ParoxLog.h"
#include "support/StringFormat.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace vantle {

const QString MorrowFileQueue::LIBRARY_FILE_NAME = QStringLiteral("MorrowQueue.plist");
const QString MorrowFileQueue::kBadFileSuffix = QStringLiteral(".bad");

namespace {

// Dropped paths may be relative or end in a slash, which would leave the item without a name.
QString queuePath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
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

MorrowFileQueue::MorrowFileQueue(const QString& storePath, QueueHost* host)
    : mDefaultStorePath(storePath), mHost(host) {
    load();
}

void MorrowFileQueue::load() {
    ParoxLog("reading prefs from %@", mDefaultStorePath);
    QFile file(mDefaultStorePath);
    if (!file.exists()) return;
    if (!file.open(QIODevice::ReadOnly)) {
        ParoxLog("cannot read the queue file %@: %@", mDefaultStorePath, file.errorString());
        return;
    }
    if (file.size() > QueueFile::kMaxFileBytes) {
        keepBadFile(QStringLiteral("it has %1 bytes").arg(file.size()));
        return;
    }
    const Result<QList<QueueEntry>> entries =
        QueueFile::decode(file.read(QueueFile::kMaxFileBytes + 1));
    file.close();
    if (!entries) {
        keepBadFile(entries.error());
        return;
    }
    mDataDictionary.reserve(entries->size());
    for (const QueueEntry& entry : *entries)
        insert(entry.path, entry.dateAdded);
}

void MorrowFileQueue::keepBadFile(const QString& reason) const {
    // The next change would overwrite the file: keep what it held where the user can find it.
    const QString bad = mDefaultStorePath + kBadFileSuffix;
    QFile::remove(bad);
    if (QFile::copy(mDefaultStorePath, bad))
        ParoxLog("the queue file %@ cannot be read (%@); the queue starts empty, the file is kept "
                 "as %@",
                 mDefaultStorePath, reason, bad);
    else
        ParoxLog("the queue file %@ cannot be read (%@) nor kept as %@; the queue starts empty",
                 mDefaultStorePath, reason, bad);
}

bool MorrowFileQueue::insert(const QString& path, const QString& dateAdded) {
    FSNodeInfoPtr node = FSNodeInfo::nodeWithPath(path, dateAdded);
    if (!node) return false;
    mDataDictionary.insert(path, std::move(node));
    mOrderValid = false;
    return true;
}

const std::vector<FSNodeInfoPtr>& MorrowFileQueue::nodesInOrder() const {
    if (mOrderValid) return mOrder;
    // byDate's order, with each node's date read once rather than at every comparison.
    struct Keyed {
        QString date;
        const QString* path;
        const FSNodeInfoPtr* node;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(mDataDictionary.size()));
    for (auto item = mDataDictionary.cbegin(); item != mDataDictionary.cend(); ++item)
        keyed.push_back(Keyed{item.value()->dateAdded(), &item.key(), &item.value()});
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        const int byDate = QString::compare(a.date, b.date);
        return byDate != 0 ? byDate < 0 : QString::compare(*a.path, *b.path) < 0;
    });
    mOrder.clear();
    mOrder.reserve(keyed.size());
    for (const Keyed& item : keyed)
        mOrder.push_back(*item.node);
    mOrderValid = true;
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
    const QString date = currentDateText();
    int added = 0;
    bool changed = false;
    for (const QString& path : paths) {
        if (path.isEmpty()) continue;
        changed = true;
        if (insert(queuePath(path), date))
            ++added;
        else
            ParoxLog("File in queue has gone away");
    }
    if (changed) saveChange();
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
    mOrderValid = false;
    if (mHost) mHost->removeIfInTempQueue(path);
    return true;
}

Result<void> MorrowFileQueue::save() const {
    QList<QueueEntry> entries;
    entries.reserve(mDataDictionary.size());
    for (auto item = mDataDictionary.cbegin(); item != mDataDictionary.cend(); ++item)
        entries.append(QueueEntry{item.key(), item.value()->dateAdded()});
    const Result<QByteArray> bytes = QueueFile::encode(entries);
    if (!bytes) {
        ParoxLog("Error: could create XML plist %@\n", bytes.error());
        return Result<void>::failure(bytes.error());
    }
    const QString folder = QFileInfo(mDefaultStorePath).absolutePath();
    if (!QDir().mkpath(folder))
        return Result<void>::failure(QStringLiteral("cannot make the folder %1").arg(folder));
    QSaveFile file(mDefaultStorePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit())
        return Result<void>::failure(
            QStringLiteral("cannot write %1: %2").arg(mDefaultStorePath, file.errorString()));
    return {};
}

void MorrowFileQueue::saveChange() const {
    if (const Result<void> saved = save(); !saved)
        ParoxLog("the queue could not be saved: %@", saved.error());
}

} // namespace vantle
