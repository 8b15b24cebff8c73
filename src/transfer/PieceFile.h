#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>
#include <mutex>

namespace vantle {

// The file in the temporary area that a download's pieces are appended to, kept open from one
// piece to the next so that a piece costs one write, not a path walk, an open and a close. The
// name was checked when the file was opened; every later piece lands in that same file, whatever
// appears at its path meanwhile. Used by the network thread; closed from any thread.
class PieceFile {
public:
    PieceFile() = default;
    ~PieceFile();
    PieceFile(const PieceFile&) = delete;
    PieceFile& operator=(const PieceFile&) = delete;

    // Whether the open file is the one for `phonePath` in the temporary area `area`.
    bool holds(const QString& area, const QString& phonePath) const;
    // Closes what is open, then opens `absolutePath` (already resolved inside `area`) for
    // appending, creating it when missing. Refused for a link or anything but a regular file.
    Result<void> open(const QString& area, const QString& phonePath, const QString& absolutePath);
    // Appends the whole of `data` to the open file.
    Result<void> append(const QByteArray& data);
    void close();
    // The system's error code of the last failed open or append; 0 when it was not the system's.
    int lastErrorCode() const;

private:
    void closeLocked();

    mutable std::mutex mLock;
    int mFd = -1;
    int mLastErrorCode = 0;
    QString mArea;
    QString mPhonePath;
    QString mAbsolutePath;
};

} // namespace vantle
