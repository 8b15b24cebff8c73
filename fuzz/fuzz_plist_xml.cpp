// XML property-list reader: any bytes give a value or an error, within bounded time and memory.

#include "platform/Plist.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const vantle::Result<QVariant> result = vantle::plist::readXml(bytes);
    if (result.ok() ? !result->isValid() : result.error().isEmpty())
        __builtin_trap(); // an invalid value, or an error without a reason
    return 0;
}
