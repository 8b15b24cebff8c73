#include "transfer/MessageFields.h"

#include "platform/PlistValue.h"
#include "support/ParoxLog.h"

#include <cmath>
#include <limits>

namespace vantle::fields {

namespace {

// 2^63 as a double: the first whole real beyond qint64.
constexpr double kInt64Bound = 9223372036854775808.0;

std::optional<qint64> wholeReal(double real) {
    if (!std::isfinite(real) || std::trunc(real) != real) return std::nullopt;
    if (real < -kInt64Bound || real >= kInt64Bound) return std::nullopt;
    return static_cast<qint64>(real);
}

} // namespace

std::optional<bool> toBool(const QVariant& value) {
    switch (plist::kindOf(value)) {
    case plist::ValueKind::Bool:
        return value.toBool();
    case plist::ValueKind::Integer:
        return plist::signedValue(value) != 0;
    case plist::ValueKind::UnsignedInteger:
        return true;
    case plist::ValueKind::Real: {
        const double real = value.toDouble();
        if (std::isnan(real)) return std::nullopt;
        return real != 0.0;
    }
    default:
        return std::nullopt;
    }
}

std::optional<qint64> toInt64(const QVariant& value) {
    switch (plist::kindOf(value)) {
    case plist::ValueKind::Bool:
        return value.toBool() ? 1 : 0;
    case plist::ValueKind::Integer:
        return plist::signedValue(value);
    case plist::ValueKind::Real:
        return wholeReal(value.toDouble());
    default:
        return std::nullopt;
    }
}

std::optional<std::int32_t> toInt32(const QVariant& value) {
    const std::optional<qint64> wide = toInt64(value);
    if (!wide || *wide < std::numeric_limits<std::int32_t>::min() ||
        *wide > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(*wide);
}

std::optional<QString> toString(const QVariant& value) {
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    return value.toString();
}

std::optional<QByteArray> toData(const QVariant& value) {
    if (value.typeId() != QMetaType::QByteArray) return std::nullopt;
    return value.toByteArray();
}

std::optional<QStringList> toStringList(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList) return value.toStringList();
    if (value.typeId() != QMetaType::QVariantList) return std::nullopt;
    const QVariantList elements = value.toList();
    QStringList strings;
    strings.reserve(elements.size());
    for (const QVariant& element : elements) {
        if (element.typeId() != QMetaType::QString) return std::nullopt;
        strings.append(element.toString());
    }
    return strings;
}

std::optional<QVariantMap> toDictionary(const QVariant& value) {
    if (value.typeId() != QMetaType::QVariantMap) return std::nullopt;
    return value.toMap();
}

QString missingFieldText(QLatin1StringView key) {
    return QStringLiteral("\"%1\" is missing").arg(key);
}

QString wrongFieldText(QLatin1StringView key, const char* expected) {
    return QStringLiteral("\"%1\" is not %2").arg(key, QLatin1StringView(expected));
}

void logWrongResponseField(QLatin1StringView key, const char* expected) {
    ParoxLog("Response field %@ taken as missing", wrongFieldText(key, expected));
}

} // namespace vantle::fields
