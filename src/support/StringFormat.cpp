#include "support/StringFormat.h"

#include <QDateTime>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

namespace vantle {
namespace {

constexpr int kMaxDirectiveLength = 32;

QString describeList(const QVariantList& list) {
    QString out = QStringLiteral("(");
    for (qsizetype n = 0; n < list.size(); ++n) {
        out += (n ? QStringLiteral(", ") : QString()) + describe(list[n]);
    }
    return out + QStringLiteral(")");
}

QString describeMap(const QVariantMap& map) {
    QString out = QStringLiteral("{");
    for (auto it = map.begin(); it != map.end(); ++it)
        out += QStringLiteral(" %1 = %2;").arg(it.key(), describe(it.value()));
    return out + QStringLiteral(" }");
}

// One conversion through the C library, for width, precision and flags.
QString cFormat(const std::string& directive, const FormatArg& arg, char conversion) {
    char buffer[512];
    int n = -1;
    switch (conversion) {
    case 'd':
    case 'i': {
        const long long v = arg.kind == FormatArg::Kind::Unsigned ? static_cast<long long>(arg.u)
                            : arg.kind == FormatArg::Kind::Real   ? static_cast<long long>(arg.d)
                                                                  : arg.i;
        n = std::snprintf(buffer, sizeof buffer, (directive + "lld").c_str(), v);
        break;
    }
    case 'u':
    case 'x':
    case 'X':
    case 'o': {
        const unsigned long long v =
            arg.kind == FormatArg::Kind::Signed ? static_cast<unsigned long long>(arg.i)
            : arg.kind == FormatArg::Kind::Real ? static_cast<unsigned long long>(arg.d)
                                                : arg.u;
        n = std::snprintf(buffer, sizeof buffer, (directive + "ll" + conversion).c_str(), v);
        break;
    }
    case 'c': {
        n = std::snprintf(buffer, sizeof buffer, (directive + "c").c_str(),
                          static_cast<int>(arg.i));
        break;
    }
    case 'p':
        n = std::snprintf(buffer, sizeof buffer, (directive + "p").c_str(), arg.p);
        break;
    default: { // f, e, g, E, G, a
        const double v = arg.kind == FormatArg::Kind::Real     ? arg.d
                         : arg.kind == FormatArg::Kind::Signed ? static_cast<double>(arg.i)
                                                               : static_cast<double>(arg.u);
        n = std::snprintf(buffer, sizeof buffer, (directive + conversion).c_str(), v);
        break;
    }
    }
    if (n < 0) return {};
    return QString::fromUtf8(buffer, std::min<int>(n, sizeof buffer - 1));
}

// Applies width and the '-' flag of a "%s"/"%@" directive to a text.
QString padText(const std::string& directive, const QString& text) {
    bool left = false;
    size_t pos = 1;
    while (pos < directive.size() &&
           std::string_view("-+ #0").find(directive[pos]) != std::string::npos) {
        left = left || directive[pos] == '-';
        ++pos;
    }
    int width = 0;
    while (pos < directive.size() && std::isdigit(static_cast<unsigned char>(directive[pos])))
        width = std::min(width * 10 + (directive[pos++] - '0'), 1000);
    QString out = text;
    if (pos < directive.size() && directive[pos] == '.') {
        int precision = 0;
        ++pos;
        while (pos < directive.size() && std::isdigit(static_cast<unsigned char>(directive[pos])))
            precision = std::min(precision * 10 + (directive[pos++] - '0'), 100000);
        out.truncate(precision);
    }
    return left ? out.leftJustified(width) : out.rightJustified(width);
}

} // namespace

QString describe(const QByteArray& data) {
    QString out = QStringLiteral("<");
    const QByteArray hex = data.toHex();
    for (qsizetype n = 0; n < hex.size(); n += 8) {
        if (n) out += QLatin1Char(' ');
        out += QString::fromLatin1(hex.mid(n, 8));
    }
    return out + QStringLiteral(">");
}

QString describe(const QVariant& value) {
    if (!value.isValid()) return QStringLiteral("(null)");
    switch (value.typeId()) {
    case QMetaType::QByteArray:
        return describe(value.toByteArray());
    case QMetaType::QVariantList:
        return describeList(value.toList());
    case QMetaType::QVariantMap:
        return describeMap(value.toMap());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::QDateTime:
        return value.toDateTime().toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss +0000"));
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 17);
    default:
        return value.toString();
    }
}

QDateTime dateFromDescription(const QString& text) {
    // Date and time are read apart so that no local time zone (nor its clock changes) applies.
    const QStringList parts = text.split(QLatin1Char(' '));
    if (parts.size() != 3 || parts[2] != QLatin1String("+0000")) return {};
    const QDate date = QDate::fromString(parts[0], QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(parts[1], QStringLiteral("HH:mm:ss"));
    if (!date.isValid() || !time.isValid()) return {};
    return QDateTime(date, time, Qt::UTC);
}

QString formatWithArgs(const char* format, std::initializer_list<FormatArg> args) {
    QString out;
    if (!format) return out;
    const FormatArg* next = args.begin();
    const char* literal = format;
    const char* c = format;
    auto flushLiteral = [&](const char* end) {
        if (end > literal) out += QString::fromUtf8(literal, end - literal);
    };
    while (*c) {
        if (*c != '%') {
            ++c;
            continue;
        }
        flushLiteral(c);
        const char* start = c++;
        if (*c == '%') {
            out += QLatin1Char('%');
            literal = ++c;
            continue;
        }
        while (*c && std::string_view("-+ #0123456789.").find(*c) != std::string::npos)
            ++c;
        while (*c && std::string_view("hlqLzjt").find(*c) != std::string::npos)
            ++c;
        if (!*c) { // a dangling '%' stays as written
            literal = start;
            break;
        }
        const char conversion = *c++;
        literal = c;
        std::string directive;
        for (const char* s = start; s < c - 1 && directive.size() < kMaxDirectiveLength; ++s)
            if (std::string_view("hlqLzjt").find(*s) == std::string::npos) directive += *s;
        if (std::string_view("@sSdiuxXocpfFeEgGaA").find(conversion) == std::string::npos) {
            out += QString::fromUtf8(start, c - start);
            continue;
        }
        if (next == args.end()) {
            out += QStringLiteral("(missing)");
            continue;
        }
        const FormatArg& arg = *next++;
        if (conversion == '@' || conversion == 's' || conversion == 'S')
            out += padText(directive, arg.text);
        else
            out += cFormat(directive, arg, conversion == 'F' ? 'f' : conversion);
    }
    flushLiteral(c);
    return out;
}

} // namespace vantle
