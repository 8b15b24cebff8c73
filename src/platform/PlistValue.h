#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <optional>

// What both property-list formats share: which values they carry, how dates are counted, and the
// limits every reader enforces.
namespace vantle::plist {

enum class ValueKind {
    String,
    Integer,         // fits qint64
    UnsignedInteger, // only fits quint64
    Real,
    Bool,
    Date,
    Data,
    Array,
    Dictionary,
    Unsupported,
};

ValueKind kindOf(const QVariant& value);

// Integers of every width come out as qint64, or quint64 when they do not fit qint64.
qint64 signedValue(const QVariant& value);
quint64 unsignedValue(const QVariant& value);

// Nesting of arrays and dictionaries that readers and writers accept.
inline constexpr int kMaxDepth = 512;

// Property-list dates count seconds from 2001-01-01T00:00:00Z. Dates outside years 1..9999 are
// refused: neither ISO 8601 text nor the other tools carry them.
std::optional<QDateTime> dateFromReferenceSeconds(double seconds);
double referenceSecondsFromDate(const QDateTime& date);

// True when the text is well-formed UTF-16 (no lone surrogates).
bool isWellFormed(QStringView text);

// The writers' complaint about a value of kind Unsupported.
QString unsupportedMessage(const QVariant& value);

// Deep equality that also requires equal types and takes NaN as equal to NaN.
bool sameValue(const QVariant& a, const QVariant& b);

} // namespace vantle::plist
