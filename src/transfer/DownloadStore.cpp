#include "transfer/DownloadStore.h"

#include "files/VantleUtilities.h"
#include "support/ParoxLog.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace vantle::store {
namespace {

Result<void> copyItem(const QString& from, const QString& to) {
    const QFileInfo info(from);
    if (info.isSymLink()) {
        if (!QFile::link(info.symLinkTarget(), to))
            return Result<void>::failure(QStringLiteral("cannot make the link %1").arg(to));
        return {};
    }
    if (!info.isDir()) {
        QFile source(from);
        if (!source.copy(to))
            return Result<void>::failure(
                QStringLiteral("cannot copy %1 to %2: %3").arg(from, to, source.errorString()));
        return {};
    }
    if (!QDir().mkdir(to)) return Result<void>::failure(QStringLiteral("cannot make %1").arg(to));
    const QStringList names =
        QDir(from).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const Result<void> copied =
            copyItem(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name);
        if (!copied) return copied;
    }
    return {};
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

Result<void> moveItem(const QString& from, const QString& to) {
    if (itemExists(to)) return Result<void>::failure(QStringLiteral("%1 is taken").arg(to));
    if (QDir().rename(from, to)) return {};
    ParoxLog("rename %@ to %@ failed; copying", from, to);
    const Result<void> copied = copyItem(from, to);
    if (!copied) {
        if (const Result<void> cleaned = removeItem(to); !cleaned)
            ParoxLog("a partial copy stays: %@", cleaned.error());
        return copied;
    }
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
