#include "app/history/TransferHistoryModel.h"

#include "app/history/TransferHistory.h"
#include "app/history/TransferHistoryFile.h"
#include "files/FSNodeInfo.h"

#include <QLocale>

namespace vantle {

TransferHistoryModel::TransferHistoryModel(TransferHistory& history, QObject* parent)
    : QAbstractTableModel(parent), mHistory(history), mRows(history.entries()) {
    connect(&history, &TransferHistory::added, this, &TransferHistoryModel::entryAdded);
    connect(&history, &TransferHistory::reset, this, &TransferHistoryModel::reload);
}

int TransferHistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(mRows.size());
}

int TransferHistoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QString TransferHistoryModel::directionText(const TransferRecord& record) {
    return record.direction == TransferDirection::Sent ? tr("Sent") : tr("Received");
}

QString TransferHistoryModel::resultText(const TransferRecord& record) {
    switch (record.result) {
    case TransferResult::Done:
        return directionText(record);
    case TransferResult::Failed:
        return record.reason.isEmpty() ? tr("Failed") : tr("Failed: %1").arg(record.reason);
    case TransferResult::Cancelled:
        return tr("Cancelled");
    }
    return {};
}

QString TransferHistoryModel::cellText(const TransferRecord& record, int column) const {
    switch (column) {
    case TimeColumn:
        return QLocale().toString(record.time.toLocalTime(), QLocale::ShortFormat);
    case DirectionColumn:
        return directionText(record);
    case NameColumn:
        return record.name;
    case SizeColumn:
        return record.size ? FSNodeInfo::getSizeText(*record.size) : QString();
    case PhoneColumn:
        return record.phoneName;
    case ResultColumn:
        return resultText(record);
    default:
        return {};
    }
}

QVariant TransferHistoryModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const TransferRecord& record = mRows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return cellText(record, index.column());
    case Qt::ToolTipRole:
        // The whole of what a narrow column cuts: the file's path, the reason.
        return index.column() == ResultColumn ? resultText(record) : record.localPath;
    case LocalPathRole:
        return record.localPath;
    default:
        return {};
    }
}

QVariant TransferHistoryModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case TimeColumn:
        return tr("Time");
    case DirectionColumn:
        return tr("Direction");
    case NameColumn:
        return tr("Name");
    case SizeColumn:
        return tr("Size");
    case PhoneColumn:
        return tr("Phone");
    case ResultColumn:
        return tr("Result");
    default:
        return {};
    }
}

Qt::ItemFlags TransferHistoryModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void TransferHistoryModel::entryAdded(const TransferRecord& record) {
    beginInsertRows({}, 0, 0);
    mRows.prepend(record);
    endInsertRows();
    if (mRows.size() > TransferHistoryFile::kMaxEntries) {
        const int last = static_cast<int>(TransferHistoryFile::kMaxEntries);
        beginRemoveRows({}, last, static_cast<int>(mRows.size()) - 1);
        mRows.resize(TransferHistoryFile::kMaxEntries);
        endRemoveRows();
    }
}

void TransferHistoryModel::reload() {
    beginResetModel();
    mRows = mHistory.entries();
    endResetModel();
}

} // namespace vantle
