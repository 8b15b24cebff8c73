// Whatever the queue file's decoder accepts holds only absolute paths with date texts, and is
// written and read back to the same items.

#include "app/QueueFile.h"

#include <QDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vantle;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const Result<QList<QueueEntry>> first = QueueFile::decode(bytes);
    if (!first) {
        if (first.error().isEmpty()) __builtin_trap(); // a refusal always says why
        return 0;
    }
    for (const QueueEntry& entry : *first)
        if (!QDir::isAbsolutePath(entry.path) || entry.path.startsWith(QLatin1Char(':')))
            __builtin_trap();
    // What the decoder keeps, the file can always hold again.
    const Result<QByteArray> written = QueueFile::encode(*first);
    if (!written) __builtin_trap();
    const Result<QList<QueueEntry>> second = QueueFile::decode(*written);
    if (!second || *second != *first) __builtin_trap();
    return 0;
}
