#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <limits>

// Property lists: QVariant <-> "bplist00" bytes and <-> XML property-list bytes.
//
// Value types: QString, qint64 (any integer type is accepted on writing), double, bool, QDateTime,
// QByteArray, QVariantList, QVariantMap. Readers return exactly these types; integers that only fit
// unsigned 64 bits come back as quint64.
//
// Readers refuse what could exhaust the reader or its caller: nesting deeper than 512, shared
// references that multiply the values beyond a small multiple of the input size, cycles, dates
// outside years 1..9999 (which XML and other tools cannot carry), UIDs and sets, and XML with a
// DTD internal subset or entity references beyond the five predefined ones. Readers do not log;
// callers log the error text. Dates keep milliseconds in binary and whole seconds in XML.
namespace vantle::plist {

enum class Format { Binary, Xml };

// How many values a read may build, counting every reference to a shared value once per
// reference (a dictionary entry is two values: its key and its value). Every read is held to a
// small multiple of its input size; callers that decode untrusted messages cap it lower, and the
// readers refuse a container whose count would pass the cap before they allocate for it.
struct ReadLimits {
    std::uint64_t maxValues = std::numeric_limits<std::uint64_t>::max();
};

// The number of values a read of `inputSize` bytes may build under `limits`.
std::uint64_t valueBudget(qsizetype inputSize, const ReadLimits& limits);

// A value read from bytes of either format.
struct Document {
    QVariant value;
    Format format = Format::Binary;
};

// A failed read says what was wrong with the bytes. `read` detects the format from the first bytes.
Result<Document> read(const QByteArray& bytes, const ReadLimits& limits = {});
Result<QVariant> readBinary(const QByteArray& bytes, const ReadLimits& limits = {});
Result<QVariant> readXml(const QByteArray& bytes, const ReadLimits& limits = {});

// An empty result means the value holds a type that a property list cannot carry; `error` (when
// given) then says which.
QByteArray writeBinary(const QVariant& value, QString* error = nullptr);
QByteArray writeXml(const QVariant& value, QString* error = nullptr);

} // namespace vantle::plist
