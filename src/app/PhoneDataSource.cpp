#include "app/PhoneDataSource.h"

#include "app/FileRowData.h"
#include "app/PhoneHost.h"
#include "support/ParoxLog.h"
#include "transfer/ProtocolKeys.h"

#include <algorithm>
#include <utility>

namespace vantle {

PhoneDataSource::PhoneDataSource(PhoneHost* host, QObject* parent)
    : QAbstractTableModel(parent), mHost(host) {}

int PhoneDataSource::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(mFilesOnDevice.size());
}

int PhoneDataSource::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

QVariant PhoneDataSource::data(const QModelIndex& index, int role) const {
    const PhoneNodeInfoPtr node = index.column() == 0 ? nodeAtRow(index.row()) : nullptr;
    if (!node || index.parent().isValid()) return {};
    const std::optional<int> percent =
        node->path() == mDownloadPath ? mDownloadPercent : std::nullopt;
    return fileRowData(*node, role, FileTable::Phone, node->isFolder(), percent);
}

void PhoneDataSource::setDownloadPercent(const QString& path, std::optional<int> percent) {
    if (path == mDownloadPath && percent == mDownloadPercent) return;
    const QString before = std::exchange(mDownloadPath, path);
    mDownloadPercent = percent;
    for (const QString& changed : {before, path}) {
        if (const int row = changed.isEmpty() ? -1 : rowForPath(changed); row >= 0)
            emit dataChanged(index(row, 0), index(row, 0),
                             {Qt::AccessibleTextRole, Qt::AccessibleDescriptionRole});
    }
}

Qt::ItemFlags PhoneDataSource::flags(const QModelIndex& index) const {
    return fileRowFlags(index);
}

QStringList PhoneDataSource::refreshListingFromDevice(
    const std::optional<QMap<QString, ListingEntry>>& listing) {
    const bool shown = listing && (!mHost || mHost->connected());
    QStringList left;
    beginResetModel();
    if (shown)
        for (const PhoneNodeInfoPtr& node : mFilesOnDevice)
            if (!listing->contains(node->path())) {
                node->forgetIconAndSize();
                left << node->path();
            }
    mFilesOnDevice.clear();
    if (shown) {
        mFilesOnDevice.reserve(std::size_t(listing->size()));
        for (auto entry = listing->cbegin(); entry != listing->cend(); ++entry) {
            const QString& path = entry.key();
            if (path == storeNames::kThumbsFolder || path == storeNames::kMetadataFolder) continue;
            mFilesOnDevice.push_back(PhoneNodeInfo::nodeWithPath(path, entry.value().isFolder));
        }
        std::stable_sort(mFilesOnDevice.begin(), mFilesOnDevice.end(),
                         [](const PhoneNodeInfoPtr& a, const PhoneNodeInfoPtr& b) {
                             return a->alphabetically(*b) < 0;
                         });
    }
    endResetModel();
    return left;
}

void PhoneDataSource::setIconsAndSizes(const PhoneIconsAndSizes& answer) {
    for (auto entry = answer.cbegin(); entry != answer.cend(); ++entry) {
        // A cached node keeps its flags: it may be the one being downloaded.
        PhoneNodeInfoPtr node = PhoneNodeInfo::existingNode(entry.key());
        if (!node) node = PhoneNodeInfo::nodeWithPath(entry.key(), false);
        node->setIcon(entry.value().icon);
        node->setSize(entry.value().size);
    }
}

QStringList PhoneDataSource::pathsWithoutIconsAndSizes() const {
    QStringList paths;
    for (const PhoneNodeInfoPtr& node : mFilesOnDevice)
        if (!node->hasIconImage() || !node->size()) paths << node->absolutePath();
    return paths;
}

void PhoneDataSource::reloadData() {
    if (!mFilesOnDevice.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, 0));
}

void PhoneDataSource::refreshPath(const QString& path) {
    if (const int row = rowForPath(path); row >= 0) emit dataChanged(index(row, 0), index(row, 0));
}

PhoneNodeInfoPtr PhoneDataSource::nodeAtRow(int row) const {
    if (row < 0 || row >= rowCount()) return nullptr;
    return mFilesOnDevice[std::size_t(row)];
}

int PhoneDataSource::rowForPath(const QString& path) const {
    const auto found =
        std::find_if(mFilesOnDevice.cbegin(), mFilesOnDevice.cend(),
                     [&](const PhoneNodeInfoPtr& node) { return node->absolutePath() == path; });
    return found == mFilesOnDevice.cend() ? -1 : int(found - mFilesOnDevice.cbegin());
}

void PhoneDataSource::downloadRow(int row, bool open) {
    const PhoneNodeInfoPtr node = nodeAtRow(row);
    if (!node || !mHost) return;
    // A second click on the file being downloaded.
    if (node->uploading()) {
        mHost->cancelDownload();
        return;
    }
    node->setShouldOpenAfterDownload(open);
    if (!mHost->requestFile(node->absolutePath())) {
        ParoxLog("requestFile failed: %d", 0);
        return;
    }
    mHost->forgetDropDestination(node->absolutePath());
}

void PhoneDataSource::removeRows(const QStringList& paths) {
    for (const QString& path : paths)
        if (const int row = rowForPath(path); row >= 0) {
            beginRemoveRows({}, row, row);
            mFilesOnDevice.erase(mFilesOnDevice.begin() + row);
            endRemoveRows();
        }
}

} // namespace vantle
