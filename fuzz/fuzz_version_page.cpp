// The update checker's version page: whatever the server sends, a number is accepted only when it
// is written right after "Latest:" (past white space, a plus sign and leading zeros).
#include "support/VersionPage.h"

#include <cstddef>
#include <cstdint>

namespace {

bool isSkippable(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '+' ||
           c == '0';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView page(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const vantle::Result<quint32> latest = vantle::parseVersionPage(page);
    if (!latest) {
        if (latest.error().isEmpty()) __builtin_trap();
        return 0;
    }
    constexpr qsizetype kPrefixSize = 7;
    if (*latest == 0 || !page.startsWith("Latest:")) __builtin_trap();
    const QByteArray digits = QByteArray::number(*latest);
    qsizetype at = kPrefixSize;
    while (at < page.size() && isSkippable(page[at]) && !page.sliced(at).startsWith(digits))
        ++at;
    if (!page.sliced(at).startsWith(digits)) __builtin_trap();
    const qsizetype end = at + digits.size();
    if (end < page.size() && page[end] >= '0' && page[end] <= '9') __builtin_trap();
    return 0;
}
