#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace vantle {

// What an upload finds at a local path. Only files and folders are read: a pipe would hold the
// reader until someone writes, and a device or socket is no document.
enum class UploadKind {
    Missing,    // nothing there (any more), or a link that leads nowhere
    File,       // a regular file
    Folder,     // a folder
    Unreadable, // there, but it cannot be looked at (permissions)
    NotAFile,   // a pipe, socket or device
};

struct UploadEntry {
    UploadKind kind = UploadKind::Missing;
    // Reached through a symbolic link; `kind` is what the link leads to.
    bool throughLink = false;
};

// Looks at `path` without opening it.
UploadEntry uploadEntryOf(const QString& path);

// The names in a folder, in name order, and Folder; or Missing / Unreadable / NotAFile and no
// names when it cannot be listed.
struct FolderListing {
    UploadKind kind = UploadKind::Missing;
    QStringList names;
};
FolderListing listFolderForUpload(const QString& folder);

// A regular file opened for reading, never blocking on what it turns out to be; its size is the
// opened file's own, so it describes the bytes that will be read.
class UploadSource {
public:
    explicit UploadSource(const QString& path);
    ~UploadSource();
    UploadSource(const UploadSource&) = delete;
    UploadSource& operator=(const UploadSource&) = delete;

    // File once open; otherwise why not.
    UploadKind kind() const { return mKind; }
    // Why it could not be opened or read, for the log.
    QString errorText() const { return mError; }
    // The size when opened.
    quint64 size() const { return mSize; }
    // Fills `buffer` with up to `length` bytes; fewer only at the end of the file; -1 on error.
    qint64 read(char* buffer, qint64 length);
    // Whether the opened file still has the size it was opened with.
    bool sizeUnchanged();

private:
    int mFd = -1;
    UploadKind mKind = UploadKind::Missing;
    quint64 mSize = 0;
    QString mError;
};

} // namespace vantle
