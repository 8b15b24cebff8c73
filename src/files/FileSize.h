#pragma once

#include <QString>
#include <QtGlobal>

namespace vantle {

// Bytes taken by a path: a file's own size, or for a folder the sizes of everything below it at
// any depth (folders included, the folder itself not). Links are counted as links, never followed.
// A path that doesn't exist gives 0.
quint64 getSizeOfFileInBytes(const QString& path);

} // namespace vantle
