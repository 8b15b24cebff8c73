// Whatever the transfer history's decoder accepts is written and read back to the same entries;
// what it refuses, it says why.

#include "app/history/TransferHistoryFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vantle;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const Result<QList<TransferRecord>> first = TransferHistoryFile::decode(bytes);
    if (!first) {
        if (first.error().isEmpty()) __builtin_trap();
        return 0;
    }
    if (first->size() > TransferHistoryFile::kMaxEntries) __builtin_trap();
    const Result<QList<TransferRecord>> second =
        TransferHistoryFile::decode(TransferHistoryFile::encode(*first));
    if (!second || *second != *first) __builtin_trap();
    return 0;
}
