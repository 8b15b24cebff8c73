#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

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

// A read: the value, or an invalid QVariant and a text that says what was wrong with the bytes.
struct ReadResult {
    QVariant value;
    QString error;
    Format format = Format::Binary;
    bool ok() const { return error.isEmpty(); }
};

// Detects the format from the first bytes.
ReadResult read(const QByteArray& bytes);
ReadResult readBinary(const QByteArray& bytes);
ReadResult readXml(const QByteArray& bytes);

// An empty result means the value holds a type that a property list cannot carry; `error` (when
// given) then says which.
QByteArray writeBinary(const QVariant& value, QString* error = nullptr);
QByteArray writeXml(const QVariant& value, QString* error = nullptr);

} // namespace vantle::plist
