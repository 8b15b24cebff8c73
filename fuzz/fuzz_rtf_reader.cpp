// Any bytes through the RTF reader and, when read, the HTML conversion.
#include "files/FSNodeInfo.h"
#include "files/RtfReader.h"

#include <cstddef>
#include <cstdint>

namespace {
constexpr float kScaleFactor = 0.75f;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto text = vantle::RtfReader::read(bytes)) {
        const QString html = vantle::FSNodeInfo::convertToHtml(*text, kScaleFactor);
        if (text->length() > 0 && html.isEmpty()) __builtin_trap();
    }
    return 0;
}
