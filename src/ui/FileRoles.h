#pragma once

#include <Qt>

namespace vantle {

// What a file table's model gives the file cell for each row, beside Qt::DisplayRole (the name
// drawn), Qt::DecorationRole (the icon, a QImage or QIcon) and Qt::ToolTipRole (the full path).
enum FileRole : int {
    // The size line under the name; empty draws none (an item being uploaded).
    SizeLineRole = Qt::UserRole + 1,
};

} // namespace vantle
