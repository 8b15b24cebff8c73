#pragma once

#include "app/MorrowFileQueue.h"
#include "app/QueueHost.h"
#include "files/FSNodeInfo.h"
#include "platform/BackgroundWork.h"

#include <QAbstractTableModel>
#include <QList>
#include <QModelIndexList>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

namespace vantle {

struct Notification;

// The upper table's model and the program's only way to the upload queue: one column, one row
// per queued item, oldest first. Main thread only.
//
// The file-system work of many items, reading the queue file and adding a batch of files, runs on
// a worker, one batch after the other; each comes in, in the order given, when it is done
// (loaded(), added()). Until then the table, queue() and getNextFile() show what came in so far;
// only the end (flush(), the destructor) waits for what is on its way.
class QueueDataSource : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit QueueDataSource(const QString& storePath = MorrowFileQueue::defaultStorePath(),
                             QObject* parent = nullptr);
    ~QueueDataSource() override;

    void setHost(QueueHost* host);
    // What has come in so far.
    const MorrowFileQueue& queue() const { return *mQueue; }
    // Whether a load or a batch of files is still on its way in.
    bool isBusy() const { return !mWork.idle(); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // DisplayRole: the name; DecorationRole: the icon; ToolTipRole: the full path; SizeLineRole
    // (ui/FileRoles.h): the size text, empty while the item is being uploaded; AccessibleTextRole
    // and AccessibleDescriptionRole: the row and its state, for screen readers (FileRowData.h).
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Rows can be selected, never dragged out; dropped files are the view's business.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Each change below ends with the host's queueTableChanged; a removal concerns the rows shown.
    void addFile(const QString& path) { addFiles({path}); }
    // Several files with one write of the queue file, once their nodes are made (added()); then
    // `whenSaved`, on this thread, once that write is done.
    void addFiles(const QStringList& paths, WhenSaved whenSaved = {});
    void removeNode(const FSNodeInfoPtr& node);
    // Removes the row's item; removing row 0 stops the running upload.
    void removeAtIndex(int row);
    // Removes the items of the given rows with one write of the queue file.
    void deleteSelected(const QList<int>& rows);
    void deleteSelected(const QModelIndexList& indexes);

    // Takes in the batches still being prepared and returns once the queue file holds the whole
    // queue: the end of the program loses nothing.
    Result<void> flush();

    // The item uploaded next of what has come in; null when none has. Whoever decides on the
    // whole queue asks isBusy() first and waits for loaded() or added().
    FSNodeInfoPtr getNextFile();
    // Null outside 0 .. rowCount() - 1.
    FSNodeInfoPtr nodeAtRow(int row) const;
    // Shows the row's item in the desktop's file manager.
    void revealAtIndex(int row) const;
    // Redraws the node's row, as after its uploading flag changed.
    void refreshNode(const FSNodeInfoPtr& node);

signals:
    // The items of the queue file are in the table.
    void loaded();
    // A batch of addFiles is in the queue: `count` items.
    void added(int count);

private:
    struct Row {
        FSNodeInfoPtr node;
        QString dateAdded;
    };

    enum class WorkKind { Load, Add };
    struct Work {
        WorkKind kind;
        std::vector<FSNodeInfoPtr> nodes;
    };

    // Runs `work` on the worker, after what is on its way; then takes its nodes in.
    void startWork(std::function<Work()> work, WhenSaved whenSaved = {});
    void takeIn(const Work& work, const WhenSaved& whenSaved);
    void changed();
    // Brings the rows in line with the queue with the least removals and insertions.
    void syncRows();
    void removeStaleRows();
    void insertNewRows();
    void infoChanged(const Notification& notification);
    void refreshAllRows();

    std::unique_ptr<MorrowFileQueue> mQueue;
    QueueHost* mHost = nullptr;
    std::vector<Row> mRows;
    // Icons arrive one notification per file: many of them make one redraw.
    QTimer mInfoTimer;
    // One worker: the batches land in the order they were given.
    static constexpr int kWorkers = 1;
    // Last, so it is gone first.
    BackgroundWork mWork{kWorkers};
};

} // namespace vantle
