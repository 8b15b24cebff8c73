#pragma once

#include "app/PhoneNodeInfo.h"
#include "transfer/Responses.h"

#include <QAbstractTableModel>
#include <QImage>
#include <QMap>
#include <QStringList>
#include <optional>
#include <vector>

namespace vantle {

class PhoneHost;

// An icons-and-sizes answer made ready off the main thread: the icon decoded, the size as text.
struct PhoneIconAndSize {
    QImage icon; // null: keep the node's icon
    QString size;
};
using PhoneIconsAndSizes = QMap<QString, PhoneIconAndSize>;

// The phone table's model: one column, one row per file on the phone, sorted by name ignoring
// case, without the phone's private metadata folders. Turns the table's clicks into downloads on
// the host. Main thread only.
class PhoneDataSource : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit PhoneDataSource(PhoneHost* host, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // DisplayRole: the name; DecorationRole: the icon; ToolTipRole: the path on the phone;
    // SizeLineRole (ui/FileRoles.h): the size text, empty while the file is being downloaded;
    // AccessibleTextRole and AccessibleDescriptionRole: the row and its state, for screen readers
    // (FileRowData.h).
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Rows can be selected, never dragged out.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Rebuilds the rows from a listing (path → entry); none, or no connection, leaves none. A row
    // the listing no longer holds loses its icon and size, as the file may come back changed:
    // those paths are returned.
    QStringList refreshListingFromDevice(const std::optional<QMap<QString, ListingEntry>>& listing);
    // Gives each path's node its icon and size text; nodes not in the table are cached for a
    // later listing. The caller reloads the table.
    void setIconsAndSizes(const PhoneIconsAndSizes& answer);
    // The paths of the rows still without an icon or a size, in row order: the worker that asks
    // the phone for them gets this copy.
    QStringList pathsWithoutIconsAndSizes() const;
    // Every row drawn again.
    void reloadData();
    // The row of `path` drawn again.
    void refreshPath(const QString& path);

    // Null outside 0 .. rowCount() - 1.
    PhoneNodeInfoPtr nodeAtRow(int row) const;
    // -1 when no row shows `path`.
    int rowForPath(const QString& path) const;
    // How far the download of the item at `path` is, for its spoken row; none once it ends.
    // Screen readers hear of a change only when the whole percentage moves.
    void setDownloadPercent(const QString& path, std::optional<int> percent);

    // A click on the row: cancels the row's running download, else asks for the file, opened
    // afterwards when `open` is set.
    void downloadRow(int row, bool open);
    // The rows of `paths`, gone from the phone, leave.
    void removeRows(const QStringList& paths);

private:
    PhoneHost* mHost = nullptr;
    std::vector<PhoneNodeInfoPtr> mFilesOnDevice;
    // The download under way and how far it is.
    QString mDownloadPath;
    std::optional<int> mDownloadPercent;
};

} // namespace vantle
