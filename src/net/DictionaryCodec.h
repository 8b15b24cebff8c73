#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>
#include <cstdint>
#include <optional>

namespace vantle {

// A dictionary inside a frame payload: a 4-byte big-endian magic, then the dictionary as a binary
// property list. Handshakes and application messages share the layout with different magics.
// Empty (and logged) when the dictionary holds a value a property list cannot carry.
QByteArray encodeDictionary(std::uint32_t magic, const QVariantMap& dictionary);

// None when the payload is 4 bytes or fewer, carries another magic, or does not parse as a
// dictionary of at most wire::kMaxValuesPerMessage values; `error` receives the parser's complaint
// in the last case only, which is also logged.
std::optional<QVariantMap> decodeDictionary(std::uint32_t magic, const QByteArray& payload,
                                            QString* error = nullptr);

} // namespace vantle
