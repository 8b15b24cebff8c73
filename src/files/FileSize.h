#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

namespace vantle {

// Bytes taken by a path: a file's own size, or for a folder the sizes of everything below it at
// any depth (folders included, the folder itself not). Links are counted as links, never followed.
// A path that doesn't exist gives 0.
quint64 getSizeOfFileInBytes(const QString& path);

// Names inside an uploaded folder that stay home: our companion folders and the desktop's
// ".DS_Store".
bool staysHomeOnUpload(const QString& name);

// Bytes an upload of `path` sends, the size its queue row shows: a file's size, or for a folder
// the files below it. A link to a file counts as that file; a queued link to a folder as that
// folder; links to folders inside a folder, pipes, sockets, devices and the names that stay home
// not at all (the upload leaves them out). What is missing or cannot be read gives 0.
quint64 uploadSizeOfPath(const QString& path);
// The same, given up (none) as soon as `stopped` says so: a huge folder is measured off the main
// thread while the user may stop its upload.
std::optional<quint64> uploadSizeOfPath(const QString& path, const std::function<bool()>& stopped);

} // namespace vantle
