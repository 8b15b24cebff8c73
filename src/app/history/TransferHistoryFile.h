#pragma once

#include "app/TransferRecord.h"
#include "platform/Result.h"

#include <QByteArray>
#include <QList>

namespace vantle {

// The bytes of "history.json": {"version": 1, "entries": [...]}, newest entry first, each
// {"time": milliseconds since 1970 UTC, "direction": "sent"|"received",
//  "result": "done"|"failed"|"cancelled", "name", "size"?, "phone"?, "path"?, "reason"?}.
// No disk access.
class TransferHistoryFile {
public:
    static constexpr int kVersion = 1;
    // The history keeps the newest this many; older ones are dropped.
    static constexpr qsizetype kMaxEntries = 1000;
    // Far beyond a full history of long paths; a larger file is refused before it is parsed.
    static constexpr qsizetype kMaxFileBytes = qsizetype(16) * 1024 * 1024;

    // The entries in the file's order. Anything the program would not have written (no JSON
    // object, another version, a missing or mistyped field, more entries than kept) is refused
    // with the reason; no bytes at all are an empty history.
    static Result<QList<TransferRecord>> decode(const QByteArray& bytes);
    // The first kMaxEntries of `entries` (the newest first).
    static QByteArray encode(const QList<TransferRecord>& entries);
};

} // namespace vantle
