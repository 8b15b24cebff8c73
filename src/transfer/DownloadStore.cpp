#include "transfer/DownloadStore.h"

#include "files/FSNodeInfo.h"
#include "files/FileSize.h"
#include "files/VantleUtilities.h"
#include "support/ParoxLog.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#if defined(Q_OS_LINUX)
#include <fcntl.h>
#endif

using namespace Qt::StringLiterals;

namespace vantle::store {
namespace {

// Large enough to keep the disk busy, small enough that a stop is heard at once.
constexpr qint64 kCopyBlockBytes = 1024 * 1024;

Result<void> copyFile(const QString& from, const QString& to, const CopyStep& step) {
    QFile source(from);
    QFile target(to);
    if (!source.open(QIODevice::ReadOnly))
        return Result<void>::failure(
            QStringLiteral("cannot read %1: %2").arg(from, source.errorString()));
    if (!target.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return Result<void>::failure(
            QStringLiteral("cannot write %1: %2").arg(to, target.errorString()));
    QByteArray block;
    while (!source.atEnd()) {
        if (step && !step()) return Result<void>::failure(QStringLiteral("the copy was stopped"));
        block = source.read(kCopyBlockBytes);
        if (block.isEmpty() && source.error() != QFileDevice::NoError)
            return Result<void>::failure(
                QStringLiteral("cannot read %1: %2").arg(from, source.errorString()));
        if (target.write(block) != block.size())
            return Result<void>::failure(
                QStringLiteral("cannot write %1: %2").arg(to, target.errorString()));
    }
    if (!target.flush())
        return Result<void>::failure(
            QStringLiteral("cannot write %1: %2").arg(to, target.errorString()));
    target.setPermissions(source.permissions());
    return {};
}

Result<void> copyItem(const QString& from, const QString& to, const CopyStep& step) {
    const QFileInfo info(from);
    if (info.isSymLink()) {
        if (!QFile::link(info.symLinkTarget(), to))
            return Result<void>::failure(QStringLiteral("cannot make the link %1").arg(to));
        return {};
    }
    if (!info.isDir()) return copyFile(from, to, step);
    if (!QDir().mkdir(to)) return Result<void>::failure(QStringLiteral("cannot make %1").arg(to));
    const QStringList names =
        QDir(from).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const Result<void> copied =
            copyItem(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name, step);
        if (!copied) return copied;
    }
    return {};
}

// The system's rename alone: QDir and QFile fall back on a copy of their own across file systems.
// Never over an item that appeared at `to` since its name was found free.
bool renameOnly(const QString& from, const QString& to) {
#if defined(Q_OS_LINUX)
    if (::renameat2(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD,
                    QFile::encodeName(to).constData(), RENAME_NOREPLACE) == 0)
        return true;
    // Some file systems cannot promise "no replace": checked just before, then.
    if (errno != EINVAL && errno != ENOSYS) return false;
#endif
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::path(to.toStdU16String()), error)) return false;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), error);
    return !error;
}

bool writeBeside(const QString& target, const QByteArray& data) {
    // The metadata folder of the item's directory, then the item's own; nothing further up.
    const QString folder = QFileInfo(target).absolutePath();
    const QString parentFolder = QFileInfo(folder).absolutePath();
    for (const QString& needed : {parentFolder, folder}) {
        if (QFileInfo(needed).isDir() || QDir().mkdir(needed)) continue;
        ParoxLog("cannot make the metadata folder %@", needed);
        return false;
    }
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size()) {
        ParoxLog("cannot write %@: %@", target, file.errorString());
        return false;
    }
    return true;
}

} // namespace

bool itemExists(const QString& path) {
    const QFileInfo info(path);
    return info.isSymLink() || info.exists();
}

Result<void> removeItem(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink() && !info.exists()) return {};
    // A link goes as a link; a real folder with what it holds, links inside not followed.
    const bool removed =
        info.isDir() && !info.isSymLink() ? QDir(path).removeRecursively() : QFile::remove(path);
    if (!removed || itemExists(path))
        return Result<void>::failure(QStringLiteral("cannot remove %1").arg(path));
    return {};
}

Result<void> checkWritableFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.exists()) return Result<void>::failure(u"\"%1\" is not there"_s.arg(folder));
    if (!info.isDir()) return Result<void>::failure(u"\"%1\" is not a folder"_s.arg(folder));
    QTemporaryFile probe(QDir(folder).filePath(u".vantle-probe-XXXXXX"_s));
    if (!probe.open())
        return Result<void>::failure(
            u"nothing can be written in \"%1\" (%2)"_s.arg(folder, probe.errorString()));
    return {};
}

Result<void> copyThenRename(const QString& from, const QString& to, const CopyStep& step) {
    const QFileInfo target(to);
    const QString partial =
        target.absolutePath() + QStringLiteral("/.vantle-") + target.fileName() + u".part"_s;
    // A leftover of an earlier try is ours to replace.
    if (const Result<void> cleared = removeItem(partial); !cleared) return cleared;
    Result<void> done = copyItem(from, partial, step);
    if (done && itemExists(to)) done = Result<void>::failure(QStringLiteral("%1 is taken").arg(to));
    if (done && !renameOnly(partial, to))
        done = Result<void>::failure(QStringLiteral("cannot rename %1 to %2").arg(partial, to));
    if (!done)
        if (const Result<void> cleaned = removeItem(partial); !cleaned)
            ParoxLog("a partial copy stays: %@", cleaned.error());
    return done;
}

qint64 freeBytesIn(const QString& folder) {
    return QStorageInfo(folder).bytesAvailable();
}

QString noRoomText(qint64 needed, qint64 free, const QString& folder) {
    return QStringLiteral("%1: %2 needed, %3 free in %4")
        .arg(QString::fromLocal8Bit(std::strerror(ENOSPC)),
             FSNodeInfo::getSizeText(quint64(qMax<qint64>(0, needed))),
             FSNodeInfo::getSizeText(quint64(qMax<qint64>(0, free))), folder);
}

Result<void> moveItem(const QString& from, const QString& to, const CopyStep& step,
                      const FreeBytes& freeBytes) {
    if (itemExists(to)) return Result<void>::failure(QStringLiteral("%1 is taken").arg(to));
    if (renameOnly(from, to)) return {};
    ParoxLog("rename %@ to %@ failed; copying", from, to);
    const QString folder = QFileInfo(to).absolutePath();
    const qint64 needed = qint64(getSizeOfFileInBytes(from));
    if (const qint64 free = freeBytes(folder); free < needed)
        return Result<void>::failure(noRoomText(needed, free, folder));
    if (const Result<void> copied = copyThenRename(from, to, step); !copied) return copied;
    if (const Result<void> removed = removeItem(from); !removed)
        ParoxLog("the moved item stays in the temporary area too: %@", removed.error());
    return {};
}

std::optional<QByteArray> readSmallFile(const QString& path, qint64 limit) {
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile() || info.size() > limit) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray data = file.read(limit + 1);
    if (data.size() > limit) return std::nullopt;
    return data;
}

void writeThumbnailAndMetadataForFile(const QString& path, const std::optional<QByteArray>& tiff,
                                      const std::optional<QByteArray>& html) {
    if (tiff) writeBeside(VantleUtilities::thumbnailPathForPath(path, false), *tiff);
    if (html) writeBeside(VantleUtilities::metaPathForPath(path, false), *html);
}

} // namespace vantle::store
