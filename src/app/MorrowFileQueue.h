#pragma once

#include "app/QueueFile.h"
#include "app/QueueFileWriter.h"
#include "files/FSNodeInfo.h"
#include "platform/Result.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

namespace vantle {

class QueueHost;

// The upload queue and its file: each local path at most once, oldest first (by the text of the
// date it was added, then by path). Every change is written to the file at once. Main thread only.
class MorrowFileQueue {
public:
    static const QString LIBRARY_FILE_NAME;
    // Where a copy of a queue file that could not be read is kept, beside it.
    static const QString kBadFileSuffix;

    // The queue file in the per-user application data folder.
    static QString defaultStorePath();
    // The text of the current date, as items are stamped with it: it sorts chronologically.
    static QString currentDateText();

    enum class Loading {
        Now,   // the constructor reads the file
        Later, // the caller reads it with readNodes, on any thread, and hands the nodes to restore
    };

    // Reads the queue from `storePath`. Items whose files are gone are left out (the file keeps
    // them until the next change); a file that cannot be read as a queue is copied aside first.
    explicit MorrowFileQueue(const QString& storePath = defaultStorePath(),
                             QueueHost* host = nullptr, Loading loading = Loading::Now);

    // The nodes of the items of the queue file at `storePath` whose files exist. Any thread.
    static std::vector<FSNodeInfoPtr> readNodes(const QString& storePath);
    // Puts nodes read by readNodes into the queue, but for paths queued since; no save.
    void restore(const std::vector<FSNodeInfoPtr>& nodes);
    MorrowFileQueue(const MorrowFileQueue&) = delete;
    MorrowFileQueue& operator=(const MorrowFileQueue&) = delete;

    void setHost(QueueHost* host) { mHost = host; }
    QString storePath() const { return mDefaultStorePath; }

    int numberOfItemsInQueue() const { return int(mDataDictionary.size()); }
    // The node at `index` in queue order; null outside 0 .. count - 1.
    FSNodeInfoPtr pathAtIndex(int index) const;
    // The whole queue, oldest first.
    const std::vector<FSNodeInfoPtr>& nodesInOrder() const;

    // Queues `path` (made absolute) with the current date; a path already queued moves to the end.
    // False when nothing is at the path. Saves in any case.
    bool addFile(const QString& path);
    // The same for several paths with one save; the number queued.
    int addFiles(const QStringList& paths);
    // addFiles in two steps: the nodes of the paths that exist (made absolute and clean), all
    // dated `date`, each once, on any thread; then, on the main thread, their queueing with one
    // save. A node given twice is queued once; the number of items queued.
    static std::vector<FSNodeInfoPtr> makeNodes(const QStringList& paths, const QString& date);
    int addNodes(std::vector<FSNodeInfoPtr> nodes);
    // Takes the node's path out of the queue, stopping its upload first when it is being uploaded,
    // and lets the host delete a temporary hand-off copy. False when it was not queued.
    bool removeFile(const FSNodeInfoPtr& node);
    // The same for several nodes with one save; the number removed.
    int removeFiles(const QList<FSNodeInfoPtr>& nodes);

    // Writes the whole queue to its file, atomically, before it returns. Changes save by
    // themselves, in the background; flush() waits for those and tells how the last one went.
    Result<void> save() const;
    Result<void> flush() { return mWriter.flush(); }

private:
    bool take(const FSNodeInfoPtr& node);
    void insertNodes(std::vector<FSNodeInfoPtr> nodes);
    QList<QueueEntry> entries() const;
    void saveChange();
    static void keepBadFile(const QString& storePath, const QString& reason);

    QString mDefaultStorePath;
    QHash<QString, FSNodeInfoPtr> mDataDictionary;
    QueueHost* mHost = nullptr;
    // The queue order, rebuilt only after a change.
    mutable std::vector<FSNodeInfoPtr> mOrder;
    mutable bool mOrderValid = false;
    // Last: it finishes its writes before the queue goes.
    QueueFileWriter mWriter;
};

} // namespace vantle
