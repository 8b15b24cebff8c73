#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

// printf-style formatting with "%@" for any value that has a text form, type-checked at the call:
// stringWithFormat("%@ sent %d bytes (%08X)", name, count, magic).
namespace vantle {

struct FormatArg {
    enum class Kind { Signed, Unsigned, Real, Text, Pointer };
    Kind kind = Kind::Text;
    qint64 i = 0;
    quint64 u = 0;
    double d = 0;
    QString text;
    const void* p = nullptr;
};

// The text "%@" gives for a value, in the manner of the platform's descriptions: data as
// "<0a0b0c0d 0e>", containers as their items, numbers in decimal.
QString describe(const QVariant& value);
QString describe(const QByteArray& data);
// The date a date's text form (as describe gives it) stands for; invalid for any other text.
QDateTime dateFromDescription(const QString& text);

template <class T>
concept HasDescription = requires(const T& t) {
    { t.description() } -> std::convertible_to<QString>;
};

template <class T> FormatArg makeFormatArg(const T& value) {
    using U = std::remove_cvref_t<T>;
    FormatArg a;
    if constexpr (std::is_same_v<U, bool>) {
        a.kind = FormatArg::Kind::Signed;
        a.i = value ? 1 : 0;
        a.text = value ? QStringLiteral("1") : QStringLiteral("0");
    } else if constexpr (std::is_enum_v<U>) {
        a.kind = FormatArg::Kind::Signed;
        a.i = static_cast<qint64>(value);
        a.text = QString::number(a.i);
    } else if constexpr (std::is_integral_v<U> && std::is_signed_v<U>) {
        a.kind = FormatArg::Kind::Signed;
        a.i = value;
        a.text = QString::number(a.i);
    } else if constexpr (std::is_integral_v<U>) {
        a.kind = FormatArg::Kind::Unsigned;
        a.u = value;
        a.text = QString::number(a.u);
    } else if constexpr (std::is_floating_point_v<U>) {
        a.kind = FormatArg::Kind::Real;
        a.d = value;
        a.text = QString::number(static_cast<double>(value), 'g', 17);
    } else if constexpr (std::is_same_v<U, QString>) {
        a.text = value;
    } else if constexpr (std::is_same_v<U, QStringView> || std::is_same_v<U, QLatin1String>) {
        a.text = value.toString();
    } else if constexpr (std::is_same_v<U, std::string> || std::is_same_v<U, std::string_view>) {
        a.text = QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
    } else if constexpr (std::is_array_v<U> &&
                         std::is_same_v<std::remove_cv_t<std::remove_extent_t<U>>, char>) {
        a.text = QString::fromUtf8(value);
        a.p = value;
    } else if constexpr (std::is_same_v<U, const char*> || std::is_same_v<U, char*>) {
        a.text = value ? QString::fromUtf8(value) : QStringLiteral("(null)");
        a.p = value;
    } else if constexpr (std::is_same_v<U, QByteArray>) {
        a.text = describe(value);
    } else if constexpr (std::is_same_v<U, QVariant>) {
        a.text = describe(value);
    } else if constexpr (HasDescription<U>) {
        a.text = value.description();
    } else if constexpr (std::is_pointer_v<U>) {
        a.kind = FormatArg::Kind::Pointer;
        a.p = static_cast<const void*>(value);
        if constexpr (HasDescription<std::remove_pointer_t<U>>)
            a.text = value ? value->description() : QStringLiteral("(null)");
        else
            a.text = QString::asprintf("%p", a.p);
    } else if constexpr (requires { value.get(); }) { // smart pointers
        return makeFormatArg(value.get());
    } else {
        a.text = describe(QVariant::fromValue(value));
    }
    return a;
}

QString formatWithArgs(const char* format, std::initializer_list<FormatArg> args);

template <class... Args> QString stringWithFormat(const char* format, const Args&... args) {
    return formatWithArgs(format, {makeFormatArg(args)...});
}

} // namespace vantle
