// What a second start sends the running program: an accepted message holds only absolute, clean
// paths, a bounded address and a bounded, printable activation token, and survives its own
// encoding unchanged.
#include "platform/HandoverMessage.h"

#include <QDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray document(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const vantle::Result<vantle::HandoverMessage> decoded = vantle::decodeHandoverMessage(document);
    if (!decoded) {
        if (decoded.error().isEmpty()) __builtin_trap();
        return 0;
    }
    if (document.size() > vantle::kMaxHandoverBytes) __builtin_trap();
    if (decoded->files.size() > document.size()) __builtin_trap();
    for (const QString& path : decoded->files) {
        if (!QDir::isAbsolutePath(path) || QDir::cleanPath(path) != path) __builtin_trap();
        if (path.contains(QChar(u'\0'))) __builtin_trap();
    }
    if (decoded->connect && (decoded->connect->isEmpty() ||
                             decoded->connect->size() > vantle::kMaxHandoverConnectLength))
        __builtin_trap();
    if (const auto& token = decoded->activationToken) {
        if (token->isEmpty() || token->size() > vantle::kMaxActivationTokenLength) __builtin_trap();
        for (const QChar c : *token)
            if (c.unicode() < u' ' || c.unicode() > u'~') __builtin_trap();
    }
    const auto again = vantle::decodeHandoverMessage(vantle::encodeHandoverMessage(*decoded));
    if (!again || *again != *decoded) __builtin_trap();
    return 0;
}
