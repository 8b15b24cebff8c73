#include "cli/PlistPrinter.h"

#include "platform/PlistValue.h"

namespace vantle {

namespace {

using plist::ValueKind;

constexpr int kIndentWidth = 2;
constexpr qsizetype kDataPreviewBytes = 16;
constexpr char16_t kFirstPrintable = 0x20;

QByteArray quoted(const QString& text) {
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == u'"' || c == u'\\') out += u'\\';
        if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c.unicode() < kFirstPrintable)
            out += QStringLiteral("\\u%1").arg(uint(c.unicode()), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    out += u'"';
    return out.toUtf8();
}

QByteArray dataPreview(const QByteArray& data) {
    QByteArray out = "<" + QByteArray::number(data.size()) + " bytes";
    if (!data.isEmpty()) out += ": " + data.left(kDataPreviewBytes).toHex(' ');
    if (data.size() > kDataPreviewBytes) out += " ...";
    return out + ">";
}

void print(const QVariant& value, int depth, QByteArray& out) {
    const QByteArray pad((depth + 1) * kIndentWidth, ' ');
    const QByteArray closingPad(depth * kIndentWidth, ' ');
    switch (plist::kindOf(value)) {
    case ValueKind::String:
        out += quoted(value.toString());
        break;
    case ValueKind::Integer:
        out += QByteArray::number(plist::signedValue(value));
        break;
    case ValueKind::UnsignedInteger:
        out += QByteArray::number(plist::unsignedValue(value));
        break;
    case ValueKind::Real:
        out += QByteArray::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        break;
    case ValueKind::Bool:
        out += value.toBool() ? "true" : "false";
        break;
    case ValueKind::Date:
        out += value.toDateTime().toUTC().toString(Qt::ISODateWithMs).toLatin1();
        break;
    case ValueKind::Data:
        out += dataPreview(value.toByteArray());
        break;
    case ValueKind::Array: {
        const QVariantList list = value.toList();
        if (list.isEmpty()) {
            out += "[]";
            break;
        }
        out += "[\n";
        for (qsizetype i = 0; i < list.size(); ++i) {
            out += pad + QByteArray::number(i) + " => ";
            print(list[i], depth + 1, out);
            out += '\n';
        }
        out += closingPad + "]";
        break;
    }
    case ValueKind::Dictionary: {
        const QVariantMap map = value.toMap();
        if (map.isEmpty()) {
            out += "{}";
            break;
        }
        out += "{\n";
        for (auto i = map.cbegin(); i != map.cend(); ++i) {
            out += pad + quoted(i.key()) + " => ";
            print(i.value(), depth + 1, out);
            out += '\n';
        }
        out += closingPad + "}";
        break;
    }
    case ValueKind::Unsupported:
        out += "<unsupported>";
        break;
    }
}

} // namespace

QByteArray printPlist(const QVariant& value) {
    QByteArray out;
    print(value, 0, out);
    out += '\n';
    return out;
}

} // namespace vantle
