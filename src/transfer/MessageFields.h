#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <cstdint>
#include <optional>

// Typed reads of message fields. Property lists let booleans and numbers stand for each other: an
// integer or a real that is not 0 is true, true is 1, and a real is a number only when it is whole
// (3.0 is 3; 2.5 is no integer at all rather than a silently truncated 2, so a piece number or a
// size never lands on a neighbouring value). Integers out of a field's range are of the wrong type.
namespace vantle::fields {

// The value as the type asked for, or none when it holds something else.
std::optional<bool> toBool(const QVariant& value);
std::optional<std::int32_t> toInt32(const QVariant& value);
std::optional<qint64> toInt64(const QVariant& value);
std::optional<QString> toString(const QVariant& value);
std::optional<QByteArray> toData(const QVariant& value);
// None when any element is not a string.
std::optional<QStringList> toStringList(const QVariant& value);
std::optional<QVariantMap> toDictionary(const QVariant& value);

// How a field type is read, and named in a complaint.
template <typename T> struct FieldType;
template <> struct FieldType<bool> {
    static constexpr const char* kName = "a boolean";
    static constexpr bool kMissingIsZero = true;
    static std::optional<bool> read(const QVariant& value) { return toBool(value); }
};
template <> struct FieldType<std::int32_t> {
    static constexpr const char* kName = "a 32-bit integer";
    static constexpr bool kMissingIsZero = true;
    static std::optional<std::int32_t> read(const QVariant& value) { return toInt32(value); }
};
template <> struct FieldType<qint64> {
    static constexpr const char* kName = "a 64-bit integer";
    static constexpr bool kMissingIsZero = true;
    static std::optional<qint64> read(const QVariant& value) { return toInt64(value); }
};
template <> struct FieldType<QString> {
    static constexpr const char* kName = "a string";
    static constexpr bool kMissingIsZero = false;
    static std::optional<QString> read(const QVariant& value) { return toString(value); }
};
template <> struct FieldType<QByteArray> {
    static constexpr const char* kName = "data";
    static constexpr bool kMissingIsZero = false;
    static std::optional<QByteArray> read(const QVariant& value) { return toData(value); }
};
template <> struct FieldType<QStringList> {
    static constexpr const char* kName = "an array of strings";
    static constexpr bool kMissingIsZero = false;
    static std::optional<QStringList> read(const QVariant& value) { return toStringList(value); }
};
template <> struct FieldType<QVariantMap> {
    static constexpr const char* kName = "a dictionary";
    static constexpr bool kMissingIsZero = false;
    static std::optional<QVariantMap> read(const QVariant& value) { return toDictionary(value); }
};

QString missingFieldText(QLatin1StringView key);
QString wrongFieldText(QLatin1StringView key, const char* expected);

// Reads the fields of one request and keeps the first reason it cannot be served: a field of the
// wrong type, or a missing field that is neither a boolean (false) nor a number (0).
class RequestFields {
public:
    explicit RequestFields(const QVariantMap& message) : mMessage(message) {}

    template <typename T> T required(QLatin1StringView key) {
        return optional<T>(key, FieldType<T>::kMissingIsZero).value_or(T{});
    }

    template <typename T>
    std::optional<T> optional(QLatin1StringView key, bool missingIsFine = true) {
        const auto found = mMessage.constFind(QString(key));
        if (found == mMessage.constEnd()) {
            if (!missingIsFine) fail(missingFieldText(key));
            return std::nullopt;
        }
        std::optional<T> value = FieldType<T>::read(*found);
        if (!value) fail(wrongFieldText(key, FieldType<T>::kName));
        return value;
    }

    // The decoded request, or the first complaint.
    template <typename T> Result<T> result(T decoded) const {
        if (mError) return Error{*mError};
        return decoded;
    }

private:
    void fail(QString text) {
        if (!mError) mError = std::move(text);
    }

    const QVariantMap& mMessage;
    std::optional<QString> mError;
};

// Response fields are read leniently: a field of the wrong type counts as missing (and is logged).
void logWrongResponseField(QLatin1StringView key, const char* expected);

template <typename T>
std::optional<T> responseField(const QVariantMap& message, QLatin1StringView key) {
    const auto found = message.constFind(QString(key));
    if (found == message.constEnd()) return std::nullopt;
    std::optional<T> value = FieldType<T>::read(*found);
    if (!value) logWrongResponseField(key, FieldType<T>::kName);
    return value;
}

// A boolean or number of a response: false or 0 when missing or of the wrong type.
template <typename T> T responseValue(const QVariantMap& message, QLatin1StringView key) {
    static_assert(FieldType<T>::kMissingIsZero, "only booleans and numbers default to zero");
    return responseField<T>(message, key).value_or(T{});
}

} // namespace vantle::fields
