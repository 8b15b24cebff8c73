#include "platform/PlistXmlWriter.h"

#include "platform/PlistValue.h"
#include "platform/PlistXmlFormat.h"

#include <cmath>

namespace vantle::plist {

using namespace xml;

namespace {

constexpr char16_t kFirstPrintable = 0x20;
constexpr char16_t kFirstNonCharacter = 0xFFFE;

// XML 1.0 cannot carry control characters other than tab, line feed and carriage return, nor
// U+FFFE and U+FFFF.
bool xmlCanCarry(char16_t c) {
    return (c >= kFirstPrintable || c == u'\t' || c == u'\n' || c == u'\r') &&
           c < kFirstNonCharacter;
}

QByteArray escaped(const QString& text) {
    QByteArray utf8 = text.toUtf8();
    if (!utf8.contains('&') && !utf8.contains('<') && !utf8.contains('>') && !utf8.contains('\r'))
        return utf8;
    QByteArray out;
    out.reserve(utf8.size() * 2);
    for (char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\r':
            out += "&#13;"; // a raw one would come back as a line feed
            break;
        default:
            out += c;
        }
    }
    return out;
}

QByteArray realText(double value) {
    if (std::isnan(value)) return QByteArray(kNaN.data(), kNaN.size());
    if (std::isinf(value)) {
        const QLatin1String text = value > 0 ? kInfinity : kMinusInfinity;
        return QByteArray(text.data(), text.size());
    }
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

QByteArray dateText(const QDateTime& date) {
    const QDateTime utc = date.toUTC();
    const QDate day = utc.date();
    const QTime time = utc.time();
    return QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02dZ", day.year(), day.month(), day.day(),
                             time.hour(), time.minute(), time.second())
        .toLatin1();
}

} // namespace

QByteArray PlistXmlWriter::write(const QVariant& value, QString* error) {
    mOut = QByteArray(kHeader);
    if (!writeValue(value, 0)) {
        if (error) *error = mError;
        return {};
    }
    mOut += kFooter;
    return mOut;
}

void PlistXmlWriter::indent(int depth) {
    mOut.append(depth, '\t');
}

void PlistXmlWriter::leaf(QLatin1String element, const QByteArray& text, int depth) {
    indent(depth);
    mOut += '<';
    mOut += element;
    mOut += '>';
    mOut += text;
    mOut += "</";
    mOut += element;
    mOut += ">\n";
}

void PlistXmlWriter::emptyElement(QLatin1String element, int depth) {
    indent(depth);
    mOut += '<';
    mOut += element;
    mOut += "/>\n";
}

bool PlistXmlWriter::writeText(QLatin1String element, const QString& text, int depth) {
    for (QChar c : text) {
        if (!xmlCanCarry(c.unicode())) {
            mError = QStringLiteral("XML cannot carry the character U+%1 of a string")
                         .arg(uint(c.unicode()), 4, 16, QLatin1Char('0'));
            return false;
        }
    }
    if (!isWellFormed(text)) {
        mError = QStringLiteral("a string holds a lone UTF-16 surrogate");
        return false;
    }
    leaf(element, escaped(text), depth);
    return true;
}

bool PlistXmlWriter::writeValue(const QVariant& value, int depth) {
    switch (kindOf(value)) {
    case ValueKind::String:
        return writeText(kString, *static_cast<const QString*>(value.constData()), depth);
    case ValueKind::Integer:
        leaf(kInteger, QByteArray::number(signedValue(value)), depth);
        return true;
    case ValueKind::UnsignedInteger:
        leaf(kInteger, QByteArray::number(unsignedValue(value)), depth);
        return true;
    case ValueKind::Real:
        leaf(kReal, realText(value.toDouble()), depth);
        return true;
    case ValueKind::Bool:
        emptyElement(value.toBool() ? kTrue : kFalse, depth);
        return true;
    case ValueKind::Date:
        leaf(kDate, dateText(value.toDateTime()), depth);
        return true;
    case ValueKind::Data:
        leaf(kData, static_cast<const QByteArray*>(value.constData())->toBase64(), depth);
        return true;
    case ValueKind::Array:
    case ValueKind::Dictionary:
        break;
    case ValueKind::Unsupported:
        mError = unsupportedMessage(value);
        return false;
    }

    if (depth >= kMaxDepth) {
        mError = QStringLiteral("nested deeper than %1 levels").arg(kMaxDepth);
        return false;
    }
    const bool isDictionary = value.typeId() == QMetaType::QVariantMap;
    const QLatin1String element = isDictionary ? kDict : kArray;
    const auto* map = static_cast<const QVariantMap*>(value.constData());
    const auto* list = static_cast<const QVariantList*>(value.constData());
    if (isDictionary ? map->isEmpty() : list->isEmpty()) {
        emptyElement(element, depth);
        return true;
    }
    indent(depth);
    mOut += '<';
    mOut += element;
    mOut += ">\n";
    if (isDictionary) {
        for (auto i = map->cbegin(); i != map->cend(); ++i)
            if (!writeText(kKey, i.key(), depth + 1) || !writeValue(i.value(), depth + 1))
                return false;
    } else {
        for (const QVariant& item : *list)
            if (!writeValue(item, depth + 1)) return false;
    }
    indent(depth);
    mOut += "</";
    mOut += element;
    mOut += ">\n";
    return true;
}

} // namespace vantle::plist
