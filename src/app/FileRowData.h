#pragma once

#include "files/FSNodeInfo.h"
#include "ui/FileRoles.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QVariant>
#include <optional>

namespace vantle {

// Which table a row is in: what its item being transferred is called.
enum class FileTable { Queue, Phone };

// What a row in `table` is doing, for a screen reader: waiting or sending in the queue, on the
// phone or downloading there ("downloading 40 %" once the download has said how far it is).
inline QString fileRowState(FileTable table, bool transferring,
                            const std::optional<int>& percent = std::nullopt) {
    if (table == FileTable::Queue)
        return transferring ? QCoreApplication::translate("FileRow", "sending")
                            : QCoreApplication::translate("FileRow", "waiting");
    if (transferring && percent)
        return QCoreApplication::translate("FileRow", "downloading %1 %").arg(*percent);
    return transferring ? QCoreApplication::translate("FileRow", "downloading")
                        : QCoreApplication::translate("FileRow", "on the phone");
}

// The row read out in one line: the name, "folder" for one, and the size, or the state while the
// item is being transferred ("photo.jpg, 2.4 MB", "Holiday, folder, 12 MB",
// "photo.jpg, downloading").
inline QString fileRowSpokenText(const QString& name, bool isFolder, const QString& size,
                                 FileTable table, bool transferring,
                                 const std::optional<int>& percent = std::nullopt) {
    const auto joined = [](const QString& first, const QString& second) {
        return QCoreApplication::translate("FileRow", "%1, %2").arg(first, second);
    };
    QString text = name;
    if (isFolder) text = joined(text, QCoreApplication::translate("FileRow", "folder"));
    // A folder still being measured has no size worth reading out.
    const QString detail = transferring
                               ? fileRowState(table, true, percent)
                               : (size == FSNodeInfo::sizePendingText() ? QString() : size);
    return detail.isEmpty() ? text : joined(text, detail);
}

// What a row of either file table gives the file cell for `role`: the name, the icon, the full
// path as tool tip, and the size line, which is empty while the item is being transferred; and
// for screen readers the row in one line and its state.
template <typename Node>
QVariant fileRowData(Node& node, int role, FileTable table, bool isFolder,
                     const std::optional<int>& percent = std::nullopt) {
    switch (role) {
    case Qt::DisplayRole:
        return node.lastPathComponent();
    case Qt::DecorationRole:
        return node.iconImage();
    case Qt::ToolTipRole:
        return node.absolutePath();
    case SizeLineRole:
        return node.uploading() ? QString() : node.sizeString();
    case Qt::AccessibleTextRole:
        return fileRowSpokenText(node.lastPathComponent(), isFolder, node.sizeString(), table,
                                 node.uploading(), percent);
    case Qt::AccessibleDescriptionRole:
        return fileRowState(table, node.uploading(), percent);
    default:
        return {};
    }
}

// Rows of the file tables can be selected, never edited or dragged out.
inline Qt::ItemFlags fileRowFlags(const QModelIndex& index) {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace vantle
