#pragma once

// Where a path that came from the phone may lead: always inside the folder it is given (the store,
// the temporary area, a destination), never through a link planted there. Pure functions; the
// callers log the refusal reasons.

#include "platform/Result.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace vantle {

// What the caller is about to do with the resolved path. Only a removal may name a link, and then
// the link itself is what goes.
enum class PathUse { Read, Write, Remove };

// Whether the phone's part of the path keeps its characters (the store's own names) or has the
// characters a Windows file name may not hold replaced by "_" (items arriving in the temporary
// area).
enum class PhoneNames { AsSent, WindowsSafe };

// Bounds on what the phone may name, in UTF-8 bytes: a single name and the whole phone path.
inline constexpr qsizetype kMaxPhoneNameBytes = 255;
inline constexpr qsizetype kMaxPhonePathBytes = 4096;
// uniquePathAtPath gives up after this many taken names.
inline constexpr int kMaxUniqueNameAttempts = 10000;

// The names of a phone path below its root: a leading "/" stands for the root, "." and repeated
// "/" collapse, "" and "/" give no names (the root itself). Refused: "..", NUL or any control
// character (below 0x20, or 0x7F), broken UTF-16, a name over kMaxPhoneNameBytes, a path over
// kMaxPhonePathBytes.
Result<QStringList> phonePathNames(const QString& phonePath, PhoneNames rule = PhoneNames::AsSent);

// Each of | < > ? * and the double quote becomes "_", and so does every ":" (there are no drive
// letters to keep here). The length never changes. Meant for the phone's part of a path only.
QString removeDisallowedCharsFromPath(const QString& phonePart);
// Each backslash becomes "_".
QString removeBackslashesFromName(const QString& name);

// The absolute path of `phonePath` inside `root` (made absolute and cleaned; the root itself is
// trusted and may be a link). The root itself comes back for "/" or "" (a caller refuses to remove
// it). Every existing name below the root is checked with lstat: a link refuses the request, except
// the last name for PathUse::Remove; an existing non-folder in the middle refuses it too. Names
// that do not exist yet are fine (they are about to be made).
Result<QString> resolveInFolder(const QString& root, const QString& phonePath, PathUse use,
                                PhoneNames rule = PhoneNames::AsSent);

// An item's path in the temporary area: resolveInFolder with the Windows-safe names (and each
// backslash replaced) for writing.
Result<QString> tempPathForFile(const QString& tempRoot, const QString& phonePath,
                                PathUse use = PathUse::Write);

// The first free path (nothing there, not even a dangling link) made from `path` by giving the
// name just below `base` the suffix "-N" before its extension: "report.pdf" → "report-1.pdf",
// "Docs" → "Docs-1", "archive.tar.gz" → "archive.tar-1.gz". `path` itself when free. Fails when
// `path` is not strictly below `base` or after kMaxUniqueNameAttempts taken names.
Result<QString> uniquePathAtPath(const QString& path, const QString& base);
// The first name "name-1", "name-2"... (before the extension, as above) that `taken` refuses;
// fails after kMaxUniqueNameAttempts or once the name would pass kMaxPhoneNameBytes.
Result<QString> firstFreeName(const QString& name,
                              const std::function<bool(const QString&)>& taken);

// The store: the folder "Vantle" inside `documentsFolder`, created when missing; fails when it
// cannot be made or is there but is no folder.
Result<QString> storeFolderIn(const QString& documentsFolder);
// The same inside the user's documents folder.
Result<QString> storeFolder();

// A private folder `name` inside `parent`, made with mode 0700 when missing. An existing one is
// used only when it is a real folder (not a link), owned by us, with no permission for group or
// others; otherwise refused (never repaired: someone else may have put things in it).
Result<QString> privateFolderIn(const QString& parent, const QString& name);
// The user's temporary areas: privateFolderIn(the temporary directory, "vantle-<uid>-downloads").
Result<QString> sharedTemporaryArea();
// This process's temporary area: privateFolderIn(sharedTemporaryArea(), "process-<pid>"). Two
// programs of one user (the window and vantle-cli) may download items of the same name at once.
Result<QString> temporaryArea();
// The process whose area `name` (in the shared one) is: its id, or none for another name.
std::optional<qint64> temporaryAreaProcess(const QString& name);
// Removes `area` when it is a process's own area in the shared one and nothing is left in it.
void removeEmptyTemporaryArea(const QString& area);

} // namespace vantle
