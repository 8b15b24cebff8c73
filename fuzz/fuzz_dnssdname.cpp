// DNS-SD full names as a resolve reports them: the instance label with its escapes.
#include "net/DnsSdName.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray name(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto instance = vantle::serviceInstanceName(name))
        if (instance->isEmpty()) __builtin_trap();
    return 0;
}
