#pragma once

#include "ui/FileRoles.h"

#include <QAbstractItemModel>
#include <QVariant>

namespace vantle {

// What a row of either file table gives the file cell for `role`: the name, the icon, the full
// path as tool tip, and the size line, which is empty while the item is being transferred.
template <typename Node> QVariant fileRowData(Node& node, int role) {
    switch (role) {
    case Qt::DisplayRole:
        return node.lastPathComponent();
    case Qt::DecorationRole:
        return node.iconImage();
    case Qt::ToolTipRole:
        return node.absolutePath();
    case SizeLineRole:
        return node.uploading() ? QString() : node.sizeString();
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
