#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// What the handlers of the phone's requests do to the files of the store and the temporary area,
// once the paths are known to stay inside them. None of these follows a link.
namespace vantle::store {

// Largest thumbnail offered to the phone; anything bigger is no thumbnail of ours.
inline constexpr qint64 kMaxIconBytes = 4 * 1024 * 1024;

// Whether anything is at `path`, a dangling link included.
bool itemExists(const QString& path);
// Removes a file, a link (never what it points to), or a folder with everything in it. True when
// nothing is left at `path`; `error` then empty.
Result<void> removeItem(const QString& path);
// Asked between the blocks of a copy; false stops it.
using CopyStep = std::function<bool()>;
// Whether items can be put in `folder`: it is there, a folder, and a file can be made in it (tried,
// so that read-only mounts and the rights of root count too). The error names the folder.
Result<void> checkWritableFolder(const QString& folder);
// Copies `from` under a hidden name beside `to` (".vantle-<name>.part"), then renames it to `to`:
// nothing shows under `to` before the copy is whole. Nothing of it is left when it fails.
Result<void> copyThenRename(const QString& from, const QString& to, const CopyStep& step = {});
// How many bytes the file system of `folder` has free for us.
using FreeBytes = std::function<qint64(const QString& folder)>;
qint64 freeBytesIn(const QString& folder);
// What the user is told when `needed` bytes do not fit in the `free` ones of `folder`.
QString noRoomText(qint64 needed, qint64 free, const QString& folder);
// Renames `from` to `to`; across file systems copyThenRename (when the item fits), then removes
// `from`. Nothing is left at `to` when it fails.
Result<void> moveItem(const QString& from, const QString& to, const CopyStep& step = {},
                      const FreeBytes& freeBytes = freeBytesIn);
// The contents of a regular file no larger than `limit`; none otherwise.
std::optional<QByteArray> readSmallFile(const QString& path, qint64 limit = kMaxIconBytes);
// The preview and HTML rendering of `path` in the metadata layout beside it; failures are logged.
void writeThumbnailAndMetadataForFile(const QString& path, const std::optional<QByteArray>& tiff,
                                      const std::optional<QByteArray>& html);

} // namespace vantle::store
