#include "app/TemporaryQueue.h"

#include "platform/PlistValue.h"
#include "support/ParoxLog.h"
#include "transfer/DownloadStore.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vantle {

const QString TemporaryQueue::kFolderName = QStringLiteral("Temporary Queued Items");
const QString TemporaryQueue::kPrintHandOffPrefix = QStringLiteral("/private/tmp/printing.");

namespace {

// Hand-offs may be private documents.
constexpr QFile::Permissions kPrivateFolder =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// Hidden files count: a drop folder that still holds one stays.
constexpr QDir::Filters kAnyEntry =
    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

bool makeFolder(const QString& path) {
    return QFileInfo(path).isDir() || QDir().mkdir(path, kPrivateFolder);
}

} // namespace

std::optional<QString> TemporaryQueue::queueDirectoryPath() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty()) return std::nullopt;
    const QString folder = data + QLatin1Char('/') + kFolderName;
    if (!QDir().mkpath(data) || !makeFolder(folder)) {
        ParoxLog("cannot make the temporary queue folder %@", folder);
        return std::nullopt;
    }
    const QString resolved = QFileInfo(folder).canonicalFilePath();
    if (resolved.isEmpty()) return std::nullopt;
    return resolved;
}

QStringList TemporaryQueue::moveIn(const QStringList& paths) {
    const std::optional<QString> folder = queueDirectoryPath();
    if (!folder) return {};
    const double seconds = plist::referenceSecondsFromDate(QDateTime::currentDateTimeUtc());
    const QString drop = *folder + QLatin1Char('/') + QString::asprintf("%.3f", seconds);
    if (!makeFolder(drop)) {
        ParoxLog("cannot make the drop folder %@", drop);
        return {};
    }
    QStringList moved;
    for (const QString& path : paths) {
        const QString name = QFileInfo(QDir::cleanPath(path)).fileName();
        if (name.isEmpty() || name == QLatin1String("..")) {
            ParoxLog("cannot move %@ into the temporary queue: it has no name", path);
            continue;
        }
        const QString target = drop + QLatin1Char('/') + name;
        if (const Result<void> done = store::moveItem(path, target); !done) {
            ParoxLog("cannot move %@ into the temporary queue: %@", path, done.error());
            continue;
        }
        moved.append(target);
    }
    if (QDir(drop).isEmpty(kAnyEntry)) QDir().rmdir(drop);
    return moved;
}

TemporaryQueue::Cleanup TemporaryQueue::removeIfInTempQueue(const QString& path) {
    const std::optional<QString> folder = queueDirectoryPath();
    if (!folder || !QDir::isAbsolutePath(path)) return Cleanup::NotInQueueFolder;
    // Cleaned first: "drop/.." would otherwise pass for an item and take the folder with it.
    const QString item = QDir::cleanPath(path);
    const QFileInfo itemInfo(item);
    const QString drop = itemInfo.path();
    if (QFileInfo(drop).path() != *folder || QFileInfo(drop).isSymLink())
        return Cleanup::NotInQueueFolder;
    if (const Result<void> removed = store::removeItem(item); !removed) {
        ParoxLog("cannot remove %@ from the temporary queue: %@", item, removed.error());
        return Cleanup::Failed;
    }
    if (QDir(drop).isEmpty(kAnyEntry) && !QDir().rmdir(drop))
        ParoxLog("cannot remove the empty drop folder %@", drop);
    return Cleanup::Removed;
}

bool TemporaryQueue::isPrintHandOff(const QStringList& paths) {
    return !paths.isEmpty() && paths.first().startsWith(kPrintHandOffPrefix);
}

} // namespace vantle
