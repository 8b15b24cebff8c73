#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>

namespace vantle {

// Writes `bytes` to `path` whole or not at all (a temporary file renamed over it), making its
// folder when missing. The error names the path.
Result<void> writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace vantle
