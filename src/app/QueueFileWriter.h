#pragma once

#include "app/QueueFile.h"
#include "platform/Result.h"

#include <QList>
#include <QString>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace vantle {

// Writes the queue file on a thread of its own, so that encoding and writing a large queue never
// holds up the window. Only the latest contents matter: contents handed in while an earlier
// write is waiting replace it.
class QueueFileWriter {
public:
    explicit QueueFileWriter(const QString& path);
    // Writes what is waiting first.
    ~QueueFileWriter();
    QueueFileWriter(const QueueFileWriter&) = delete;
    QueueFileWriter& operator=(const QueueFileWriter&) = delete;

    void write(QList<QueueEntry> entries);
    // Returns once everything handed in is written; the outcome of the last write (a failure is
    // logged as well).
    Result<void> flush();

    // Encodes and writes at once, atomically, making the folder when needed.
    static Result<void> writeNow(const QString& path, const QList<QueueEntry>& entries);

private:
    void run();

    const QString mPath;
    std::mutex mLock;
    std::condition_variable mChanged;
    std::optional<QList<QueueEntry>> mWaiting;
    bool mWriting = false;
    bool mStopping = false;
    Result<void> mLastWrite;
    std::thread mThread;
};

} // namespace vantle
