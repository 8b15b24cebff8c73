// Binary property-list reader: any bytes give a value or an error, within bounded time and
// memory. A limit on the values only ever turns a success into a refusal, never changes a value:
// once with the network's limit, once with a small one that these small inputs reach.

#include "net/WireFormat.h"
#include "platform/Plist.h"
#include "platform/PlistValue.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr std::uint64_t kSmallLimit = 16;

bool wellFormed(const vantle::Result<QVariant>& result) {
    return result.ok() ? result->isValid() : !result.error().isEmpty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vantle;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const Result<QVariant> general = plist::readBinary(bytes);
    if (!wellFormed(general)) __builtin_trap(); // an invalid value, or an error without a reason
    for (const std::uint64_t limit : {wire::kMaxValuesPerMessage, kSmallLimit}) {
        const Result<QVariant> limited = plist::readBinary(bytes, plist::ReadLimits{limit});
        if (!wellFormed(limited)) __builtin_trap();
        if (limited && (!general || !plist::sameValue(*limited, *general))) __builtin_trap();
    }
    return 0;
}
