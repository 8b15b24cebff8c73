#include "transfer/PieceFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace vantle {
namespace {

constexpr mode_t kNewFileMode = 0644;

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace

PieceFile::~PieceFile() {
    close();
}

bool PieceFile::holds(const QString& area, const QString& phonePath) const {
    std::lock_guard lock(mLock);
    return mFd >= 0 && mPhonePath == phonePath && mArea == area;
}

Result<void> PieceFile::open(const QString& area, const QString& phonePath,
                             const QString& absolutePath) {
    std::lock_guard lock(mLock);
    closeLocked();
    // No link is followed at the last name (the names above it were checked), and a FIFO planted
    // there fails at once instead of blocking the network thread.
    const int fd =
        ::open(QFile::encodeName(absolutePath).constData(),
               O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, kNewFileMode);
    mLastErrorCode = fd < 0 ? errno : 0;
    if (fd < 0) return Error{u"cannot open %1: %2"_s.arg(absolutePath, systemError(errno))};
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return Error{u"%1 is not a regular file"_s.arg(absolutePath)};
    }
    mFd = fd;
    mArea = area;
    mPhonePath = phonePath;
    mAbsolutePath = absolutePath;
    return {};
}

Result<void> PieceFile::append(const QByteArray& data) {
    std::lock_guard lock(mLock);
    if (mFd < 0) return Error{u"no piece file is open"_s};
    const char* next = data.constData();
    auto left = static_cast<std::size_t>(data.size());
    while (left > 0) {
        const ssize_t written = ::write(mFd, next, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            mLastErrorCode = written < 0 ? errno : 0;
            const QString why = u"cannot write to %1: %2"_s.arg(
                mAbsolutePath, written < 0 ? systemError(errno) : u"nothing written"_s);
            // How much of this piece reached the file is unknown: the next one opens it afresh.
            closeLocked();
            return Error{why};
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return {};
}

int PieceFile::lastErrorCode() const {
    std::lock_guard lock(mLock);
    return mLastErrorCode;
}

void PieceFile::close() {
    std::lock_guard lock(mLock);
    closeLocked();
}

void PieceFile::closeLocked() {
    if (mFd >= 0) ::close(mFd);
    mFd = -1;
    mArea.clear();
    mPhonePath.clear();
    mAbsolutePath.clear();
}

} // namespace vantle
