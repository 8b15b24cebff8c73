#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace vantle {

// One item of the queue file: a local path and the text of the date it was queued.
struct QueueEntry {
    QString path;
    QString dateAdded;
    bool operator==(const QueueEntry&) const = default;
};

// The bytes of the queue file: a property list (XML when written, either format when read) whose
// root maps each item's absolute path to {"DateAdded": date text}. No disk access.
class QueueFile {
public:
    // Far beyond any real queue; a larger file is refused before it is parsed.
    static constexpr qsizetype kMaxFileBytes = qsizetype(64) * 1024 * 1024;
    static const QString kDateAddedKey;

    // The items in the order of their paths. Items that could not be queued again (not a
    // dictionary, no string date, a relative path, text the file could not store) are skipped and
    // logged; bytes that are no property list, or whose root is no dictionary, are a failure.
    // No bytes at all are an empty queue.
    static Result<QList<QueueEntry>> decode(const QByteArray& bytes);
    // An XML property list with exactly the key "DateAdded" per item; a later entry of the same
    // path wins.
    static Result<QByteArray> encode(const QList<QueueEntry>& entries);
};

} // namespace vantle
