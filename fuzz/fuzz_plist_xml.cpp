// XML property-list reader: any bytes give a value or an error, within bounded time and memory.

#include "platform/Plist.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const vantle::plist::ReadResult result = vantle::plist::readXml(bytes);
    if (result.ok() == !result.value.isValid())
        __builtin_trap(); // a value and no error, or an error and no value
    return 0;
}
