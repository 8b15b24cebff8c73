// Any bytes through the RTF reader and, when read, the HTML conversion.
#include "files/FSNodeInfo.h"
#include "files/RtfReader.h"

#include <cstddef>
#include <cstdint>

namespace {
constexpr float kScaleFactor = 0.75f;
// No document this small grows a page past the size a message can carry, so none may come out
// empty.
constexpr size_t kSurelySendableBytes = 32 * 1024;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto text = vantle::RtfReader::read(bytes)) {
        const QString html = vantle::FSNodeInfo::convertToHtml(*text, kScaleFactor);
        if (size <= kSurelySendableBytes && text->length() > 0 && html.isEmpty()) __builtin_trap();
    }
    return 0;
}
