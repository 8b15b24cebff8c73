#include "transfer/StorePaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace vantle {

namespace {

constexpr char16_t kReplacement = u'_';
constexpr char16_t kFirstPrintable = 0x20;
constexpr char16_t kDelete = 0x7F;
constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kGroupAndOthers = 0077;
constexpr mode_t kPermissionBits = 0777;
constexpr int kOctalModeWidth = 3;
constexpr int kOctal = 8;
// The name of a process's own folder in the shared temporary area, before its id.
const QString kProcessAreaPrefix = QStringLiteral("process-");

bool holdsControlCharacter(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < kFirstPrintable || c.unicode() == kDelete) return true;
    return false;
}

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// lstat of a path; errno as the error.
Result<struct stat> linkStatus(const QString& path) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return Error{systemError(errno)};
    return status;
}

bool existsWithoutFollowing(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 || errno != ENOENT;
}

QString cleanedAbsolute(const QString& path) {
    return QDir::cleanPath(QDir(path).absolutePath());
}

QString joined(const QString& folder, const QString& name) {
    return folder.endsWith(u'/') ? QString(folder + name) : QString(folder + u'/' + name);
}

// Walks the existing names below the root; the first missing one ends the walk.
Result<void> checkNoLinkBelow(const QString& root, const QStringList& names, PathUse use) {
    QString current = root;
    for (qsizetype i = 0; i < names.size(); ++i) {
        current = joined(current, names[i]);
        const bool last = i + 1 == names.size();
        struct stat status {};
        if (::lstat(QFile::encodeName(current).constData(), &status) != 0) {
            if (errno == ENOENT) return {};
            return Error{u"cannot examine %1: %2"_s.arg(current, systemError(errno))};
        }
        if (S_ISLNK(status.st_mode)) {
            if (last && use == PathUse::Remove) return {};
            return Error{u"%1 is a link; links in the folder are never followed"_s.arg(current)};
        }
        if (!last && !S_ISDIR(status.st_mode)) return Error{u"%1 is not a folder"_s.arg(current)};
    }
    return {};
}

} // namespace

QString removeDisallowedCharsFromPath(const QString& phonePart) {
    static const QString disallowed = u"|<>?*\":"_s;
    QString result = phonePart;
    for (QChar& c : result)
        if (disallowed.contains(c)) c = QChar(kReplacement);
    return result;
}

QString removeBackslashesFromName(const QString& name) {
    QString result = name;
    result.replace(u'\\', QChar(kReplacement));
    return result;
}

Result<QStringList> phonePathNames(const QString& phonePath, PhoneNames rule) {
    if (!QStringView(phonePath).isValidUtf16()) return Error{u"the path is not valid text"_s};
    if (holdsControlCharacter(phonePath)) return Error{u"the path holds a control character"_s};
    if (phonePath.toUtf8().size() > kMaxPhonePathBytes)
        return Error{u"the path is longer than %1 bytes"_s.arg(kMaxPhonePathBytes)};
    QStringList names;
    for (const QString& name : phonePath.split(u'/', Qt::SkipEmptyParts)) {
        if (name == u".."_s) return Error{u"the path climbs with \"..\""_s};
        if (name == u"."_s) continue;
        if (name.toUtf8().size() > kMaxPhoneNameBytes)
            return Error{u"a name in the path is longer than %1 bytes"_s.arg(kMaxPhoneNameBytes)};
        // The replacements never make "." or "..": they only ever produce "_".
        names.append(rule == PhoneNames::WindowsSafe
                         ? removeBackslashesFromName(removeDisallowedCharsFromPath(name))
                         : name);
    }
    return names;
}

Result<QString> resolveInFolder(const QString& root, const QString& phonePath, PathUse use,
                                PhoneNames rule) {
    if (root.isEmpty()) return Error{u"no folder to resolve %1 in"_s.arg(phonePath)};
    const Result<QStringList> names = phonePathNames(phonePath, rule);
    if (!names) return Error{u"refused path \"%1\": %2"_s.arg(phonePath, names.error())};
    const QString base = cleanedAbsolute(root);
    const Result<void> walk = checkNoLinkBelow(base, *names, use);
    if (!walk) return Error{u"refused path \"%1\": %2"_s.arg(phonePath, walk.error())};
    QString result = base;
    for (const QString& name : *names)
        result = joined(result, name);
    return result;
}

Result<QString> tempPathForFile(const QString& tempRoot, const QString& phonePath, PathUse use) {
    return resolveInFolder(tempRoot, phonePath, use, PhoneNames::WindowsSafe);
}

Result<QString> uniquePathAtPath(const QString& path, const QString& base) {
    const QString cleanBase = QDir::cleanPath(base);
    const QString cleanPath = QDir::cleanPath(path);
    const QString prefix = cleanBase.endsWith(u'/') ? cleanBase : QString(cleanBase + u'/');
    if (cleanBase.isEmpty() || !cleanPath.startsWith(prefix) || cleanPath.size() == prefix.size())
        return Error{u"%1 is not below %2"_s.arg(path, base)};
    if (!existsWithoutFollowing(cleanPath)) return cleanPath;

    const QString below = cleanPath.mid(prefix.size());
    const qsizetype slash = below.indexOf(u'/');
    const QString name = slash < 0 ? below : below.left(slash);
    const QString rest = slash < 0 ? QString() : below.mid(slash);
    const Result<QString> free = firstFreeName(name, [&](const QString& candidate) {
        return existsWithoutFollowing(prefix + candidate + rest);
    });
    if (!free) return Error{u"no free name for %1: %2"_s.arg(path, free.error())};
    return QString(prefix + *free + rest);
}

Result<QString> firstFreeName(const QString& name,
                              const std::function<bool(const QString&)>& taken) {
    // A leading dot starts a hidden name, not an extension.
    const qsizetype dot = name.lastIndexOf(u'.');
    const bool hasExtension = dot > 0;
    const QString stem = hasExtension ? name.left(dot) : name;
    const QString extension = hasExtension ? name.mid(dot) : QString();
    for (int i = 1; i <= kMaxUniqueNameAttempts; ++i) {
        const QString candidateName = stem + u'-' + QString::number(i) + extension;
        if (candidateName.toUtf8().size() > kMaxPhoneNameBytes)
            return Error{u"the name grows too long"_s};
        if (!taken(candidateName)) return candidateName;
    }
    return Error{u"%1 names taken"_s.arg(kMaxUniqueNameAttempts)};
}

Result<QString> storeFolderIn(const QString& documentsFolder) {
    if (documentsFolder.isEmpty()) return Error{u"no documents folder for the store"_s};
    const QString store = joined(cleanedAbsolute(documentsFolder), u"Vantle"_s);
    if (!QDir().mkpath(store)) return Error{u"cannot make the store folder %1"_s.arg(store)};
    // The user may well keep the store behind a link of their own: follow it here.
    if (!QFileInfo(store).isDir()) return Error{u"the store %1 is not a folder"_s.arg(store)};
    return store;
}

Result<QString> storeFolder() {
    return storeFolderIn(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

Result<QString> privateFolderIn(const QString& parent, const QString& name) {
    if (parent.isEmpty() || name.isEmpty() || name.contains(u'/'))
        return Error{u"no place for the private folder \"%1\""_s.arg(name)};
    const QString folder = joined(cleanedAbsolute(parent), name);
    if (::mkdir(QFile::encodeName(folder).constData(), kPrivateFolderMode) != 0 && errno != EEXIST)
        return Error{u"cannot make %1: %2"_s.arg(folder, systemError(errno))};
    // Checked also right after making it: the name may have been taken a moment before.
    const Result<struct stat> status = linkStatus(folder);
    if (!status) return Error{u"cannot examine %1: %2"_s.arg(folder, status.error())};
    if (S_ISLNK(status->st_mode)) return Error{u"refusing %1: it is a link"_s.arg(folder)};
    if (!S_ISDIR(status->st_mode)) return Error{u"refusing %1: it is not a folder"_s.arg(folder)};
    if (status->st_uid != ::geteuid())
        return Error{u"refusing %1: it belongs to another user"_s.arg(folder)};
    if ((status->st_mode & kGroupAndOthers) != 0)
        return Error{u"refusing %1: others may use it (mode %2)"_s.arg(folder).arg(
            status->st_mode & kPermissionBits, kOctalModeWidth, kOctal, QChar(u'0'))};
    return folder;
}

Result<QString> sharedTemporaryArea() {
    return privateFolderIn(QStandardPaths::writableLocation(QStandardPaths::TempLocation),
                           u"vantle-%1-downloads"_s.arg(::geteuid()));
}

Result<QString> temporaryArea() {
    const Result<QString> shared = sharedTemporaryArea();
    if (!shared) return shared;
    return privateFolderIn(*shared, kProcessAreaPrefix + QString::number(::getpid()));
}

void removeEmptyTemporaryArea(const QString& area) {
    const Result<QString> shared = sharedTemporaryArea();
    const QFileInfo own(area);
    // A folder chosen with setTemporaryDir is not ours to remove; rmdir leaves a full one.
    if (!shared || own.absolutePath() != *shared || !temporaryAreaProcess(own.fileName())) return;
    QDir().rmdir(area);
}

std::optional<qint64> temporaryAreaProcess(const QString& name) {
    if (!name.startsWith(kProcessAreaPrefix)) return std::nullopt;
    bool ok = false;
    const qint64 pid = name.mid(kProcessAreaPrefix.size()).toLongLong(&ok);
    if (!ok || pid <= 0) return std::nullopt;
    return pid;
}

} // namespace vantle
