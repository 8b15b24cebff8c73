#include "net/DnsSdName.h"

#include "support/ParoxLog.h"

#include <QStringDecoder>

namespace vantle {
namespace {

constexpr char kEscape = '\\';
constexpr char kLabelEnd = '.';
constexpr int kDecimalEscapeDigits = 3;
constexpr int kLargestByte = 255;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<QString> reject(const QByteArray& fullName, const char* why) {
    ParoxLog("Ignoring DNS-SD name \"%@\": %s", QString::fromLatin1(fullName), why);
    return std::nullopt;
}

} // namespace

std::optional<QString> serviceInstanceName(const QByteArray& fullName) {
    QByteArray label;
    qsizetype i = 0;
    const qsizetype n = fullName.size();
    while (i < n && fullName[i] != kLabelEnd) {
        const char c = fullName[i];
        if (c != kEscape) {
            label.append(c);
            ++i;
            continue;
        }
        if (i + 1 >= n) return reject(fullName, "escape at the end");
        if (!isDigit(fullName[i + 1])) {
            label.append(fullName[i + 1]);
            i += 2;
            continue;
        }
        if (i + kDecimalEscapeDigits >= n) return reject(fullName, "short decimal escape");
        int value = 0;
        for (int d = 1; d <= kDecimalEscapeDigits; ++d) {
            const char digit = fullName[i + d];
            if (!isDigit(digit)) return reject(fullName, "short decimal escape");
            value = value * 10 + (digit - '0');
        }
        if (value > kLargestByte) return reject(fullName, "decimal escape above 255");
        label.append(static_cast<char>(value));
        i += 1 + kDecimalEscapeDigits;
    }
    if (label.isEmpty()) return reject(fullName, "no instance name");
    // Stateless: a sequence cut off at the end is an error, not something to wait for.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(label);
    if (decoder.hasError() || text.isEmpty()) return reject(fullName, "instance name is not UTF-8");
    return text;
}

} // namespace vantle
