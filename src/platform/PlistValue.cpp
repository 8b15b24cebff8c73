#include "platform/PlistValue.h"

#include <cmath>
#include <limits>

namespace vantle::plist {

namespace {

// Seconds between 1970-01-01 and 2001-01-01.
constexpr double kReferenceEpochOffset = 978307200.0;
// 0001-01-01T00:00:00Z and 9999-12-31T23:59:59Z, in seconds from 2001-01-01.
constexpr double kEarliestDateSeconds = -63113904000.0;
constexpr double kLatestDateSeconds = 252423993599.0;
constexpr double kMillisecondsPerSecond = 1000.0;
constexpr int kLatestYear = 9999;

} // namespace

ValueKind kindOf(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QString:
        return ValueKind::String;
    case QMetaType::Bool:
        return ValueKind::Bool;
    case QMetaType::Double:
    case QMetaType::Float:
        return ValueKind::Real;
    case QMetaType::QDateTime:
        return value.toDateTime().isValid() ? ValueKind::Date : ValueKind::Unsupported;
    case QMetaType::QByteArray:
        return ValueKind::Data;
    case QMetaType::QVariantList:
        return ValueKind::Array;
    case QMetaType::QVariantMap:
        return ValueKind::Dictionary;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
        return ValueKind::Integer;
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return value.toULongLong() > quint64(std::numeric_limits<qint64>::max())
                   ? ValueKind::UnsignedInteger
                   : ValueKind::Integer;
    default:
        return ValueKind::Unsupported;
    }
}

QString unsupportedMessage(const QVariant& value) {
    if (!value.isValid())
        return QStringLiteral("an empty value cannot be stored in a property list");
    if (value.typeId() == QMetaType::QDateTime)
        return QStringLiteral("an invalid date cannot be stored in a property list");
    return QStringLiteral("a value of type %1 cannot be stored in a property list")
        .arg(QString::fromLatin1(value.metaType().name()));
}

qint64 signedValue(const QVariant& value) {
    return value.toLongLong();
}

quint64 unsignedValue(const QVariant& value) {
    return value.toULongLong();
}

std::optional<QDateTime> dateFromReferenceSeconds(double seconds) {
    if (!(seconds >= kEarliestDateSeconds && seconds <= kLatestDateSeconds + 1.0))
        return std::nullopt; // also NaN
    const double ms = std::round((seconds + kReferenceEpochOffset) * kMillisecondsPerSecond);
    QDateTime date = QDateTime::fromMSecsSinceEpoch(qint64(ms), Qt::UTC);
    if (!date.isValid() || date.date().year() > kLatestYear) return std::nullopt;
    return date;
}

double referenceSecondsFromDate(const QDateTime& date) {
    return double(date.toMSecsSinceEpoch()) / kMillisecondsPerSecond - kReferenceEpochOffset;
}

bool isWellFormed(QStringView text) {
    const qsizetype n = text.size();
    const QChar* s = text.data();
    for (qsizetype i = 0; i < n; ++i) {
        if (!s[i].isSurrogate()) continue;
        if (!s[i].isHighSurrogate() || i + 1 == n || !s[i + 1].isLowSurrogate()) return false;
        ++i;
    }
    return true;
}

bool sameValue(const QVariant& a, const QVariant& b) {
    const ValueKind kind = kindOf(a);
    if (kind != kindOf(b)) return false;
    switch (kind) {
    case ValueKind::Real: {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return (std::isnan(x) && std::isnan(y)) || x == y;
    }
    case ValueKind::Integer:
        return signedValue(a) == signedValue(b);
    case ValueKind::UnsignedInteger:
        return unsignedValue(a) == unsignedValue(b);
    case ValueKind::Array: {
        const QVariantList& x = *static_cast<const QVariantList*>(a.constData());
        const QVariantList& y = *static_cast<const QVariantList*>(b.constData());
        if (x.size() != y.size()) return false;
        for (qsizetype i = 0; i < x.size(); ++i)
            if (!sameValue(x[i], y[i])) return false;
        return true;
    }
    case ValueKind::Dictionary: {
        const QVariantMap& x = *static_cast<const QVariantMap*>(a.constData());
        const QVariantMap& y = *static_cast<const QVariantMap*>(b.constData());
        if (x.size() != y.size()) return false;
        for (auto i = x.cbegin(), j = y.cbegin(); i != x.cend(); ++i, ++j)
            if (i.key() != j.key() || !sameValue(i.value(), j.value())) return false;
        return true;
    }
    case ValueKind::Date:
        return a.toDateTime() == b.toDateTime();
    case ValueKind::Unsupported:
        return false;
    default:
        return a == b;
    }
}

} // namespace vantle::plist
