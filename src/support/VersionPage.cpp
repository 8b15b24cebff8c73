#include "support/VersionPage.h"

#include <limits>

namespace vantle {
namespace {

constexpr QByteArrayView kPrefix("Latest:");
constexpr quint32 kDecimalBase = 10;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

Result<quint32> parseVersionPage(QByteArrayView page) {
    if (!page.startsWith(kPrefix))
        return Result<quint32>::failure(QStringLiteral("the version page does not begin with "
                                                       "\"Latest:\""));
    qsizetype at = kPrefix.size();
    while (at < page.size() && isSpace(page[at]))
        ++at;
    if (at < page.size() && page[at] == '+') ++at;
    if (at == page.size() || !isDigit(page[at]))
        return Result<quint32>::failure(QStringLiteral("the version page holds no version number"));
    quint64 number = 0;
    for (; at < page.size() && isDigit(page[at]); ++at) {
        number = number * kDecimalBase + static_cast<quint64>(page[at] - '0');
        if (number > std::numeric_limits<quint32>::max())
            return Result<quint32>::failure(
                QStringLiteral("the version page's number is too large"));
    }
    if (number == 0)
        return Result<quint32>::failure(QStringLiteral("the version page's number is 0"));
    return static_cast<quint32>(number);
}

} // namespace vantle
