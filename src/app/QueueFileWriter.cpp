#include "app/QueueFileWriter.h"

#include "platform/AtomicFile.h"
#include "support/ParoxLog.h"

#include <QDir>
#include <QFileInfo>

namespace vantle {

QueueFileWriter::QueueFileWriter(const QString& path) : mPath(path), mThread([this] { run(); }) {}

QueueFileWriter::~QueueFileWriter() {
    {
        std::lock_guard guard(mLock);
        mStopping = true;
    }
    mChanged.notify_all();
    mThread.join();
}

void QueueFileWriter::write(QList<QueueEntry> entries) {
    {
        std::lock_guard guard(mLock);
        mWaiting = std::move(entries);
    }
    mChanged.notify_all();
}

Result<void> QueueFileWriter::flush() {
    std::unique_lock guard(mLock);
    mChanged.wait(guard, [this] { return !mWaiting && !mWriting; });
    return mLastWrite;
}

void QueueFileWriter::run() {
    std::unique_lock guard(mLock);
    for (;;) {
        mChanged.wait(guard, [this] { return mWaiting || mStopping; });
        if (!mWaiting) return; // stopping with nothing left to write
        const QList<QueueEntry> entries = std::move(*mWaiting);
        mWaiting.reset();
        mWriting = true;
        guard.unlock();
        Result<void> written = writeNow(mPath, entries);
        if (!written) ParoxLog("the queue could not be saved: %@", written.error());
        guard.lock();
        mLastWrite = std::move(written);
        mWriting = false;
        mChanged.notify_all();
    }
}

Result<void> QueueFileWriter::writeNow(const QString& path, const QList<QueueEntry>& entries) {
    Result<QByteArray> bytes = QueueFile::encode(entries);
    if (!bytes) {
        ParoxLog("Error: could create XML plist %@\n", bytes.error());
        // One item the file cannot hold must not keep every other change from being saved.
        QList<QueueEntry> storable;
        for (const QueueEntry& entry : entries) {
            if (QueueFile::encode({entry}))
                storable.append(entry);
            else
                ParoxLog("the queue file leaves out %@", entry.path);
        }
        bytes = QueueFile::encode(storable);
        if (!bytes) return Result<void>::failure(bytes.error());
    }
    return writeFileAtomically(path, *bytes);
}

} // namespace vantle
