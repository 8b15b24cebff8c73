#include "files/UploadSource.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantle {
namespace {

// A name that is not there (or leads through something that is no folder) is gone; anything
// else that stops us looking is a refusal.
UploadKind kindOfError(int error) {
    return error == ENOENT || error == ENOTDIR || error == ELOOP ? UploadKind::Missing
                                                                 : UploadKind::Unreadable;
}

UploadKind kindOfMode(mode_t mode) {
    if (S_ISREG(mode)) return UploadKind::File;
    if (S_ISDIR(mode)) return UploadKind::Folder;
    return UploadKind::NotAFile;
}

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

UploadEntry uploadEntryOf(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info;
    if (native.isEmpty()) return {};
    if (::lstat(native.constData(), &info) != 0) return {kindOfError(errno), false};
    if (!S_ISLNK(info.st_mode)) return {kindOfMode(info.st_mode), false};
    if (::stat(native.constData(), &info) != 0) return {kindOfError(errno), true};
    return {kindOfMode(info.st_mode), true};
}

FolderListing listFolderForUpload(const QString& folder) {
    FolderListing listing;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) {
        listing.kind = errno == ENOTDIR ? UploadKind::NotAFile : kindOfError(errno);
        return listing;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!isDotOrDotDot(entry->d_name)) listing.names << QFile::decodeName(entry->d_name);
        errno = 0;
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0) {
        listing.kind = kindOfError(error);
        listing.names.clear();
        return listing;
    }
    std::sort(listing.names.begin(), listing.names.end());
    listing.kind = UploadKind::Folder;
    return listing;
}

UploadSource::UploadSource(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    // Not blocking: the path was a file a moment ago, but may be a pipe by now.
    mFd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (mFd < 0) {
        mKind = kindOfError(errno);
        mError = errnoText(errno);
        return;
    }
    struct stat info;
    if (::fstat(mFd, &info) != 0) {
        mKind = UploadKind::Unreadable;
        mError = errnoText(errno);
        return;
    }
    mKind = kindOfMode(info.st_mode);
    if (mKind != UploadKind::File) {
        mError = QStringLiteral("not a file");
        return;
    }
    mSize = static_cast<quint64>(info.st_size);
}

UploadSource::~UploadSource() {
    if (mFd >= 0) ::close(mFd);
}

qint64 UploadSource::read(char* buffer, qint64 length) {
    if (mKind != UploadKind::File) return -1;
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::read(mFd, buffer + done, static_cast<size_t>(length - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            mError = errnoText(errno);
            return -1;
        }
        if (n == 0) break;
        done += n;
    }
    return done;
}

bool UploadSource::sizeUnchanged() {
    struct stat info;
    if (mFd < 0 || ::fstat(mFd, &info) != 0) return false;
    return static_cast<quint64>(info.st_size) == mSize;
}

} // namespace vantle
