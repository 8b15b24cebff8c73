#include "platform/PlistXmlReader.h"

#include "platform/PlistValue.h"
#include "platform/PlistXmlFormat.h"

#include <QRegularExpression>
#include <limits>

namespace vantle::plist {

using namespace xml;

namespace {

constexpr int kHexBase = 16;
constexpr int kDecimalBase = 10;

int digitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    constexpr char16_t kAsciiLowerCaseBit = 0x20;
    const char16_t lower = u | kAsciiLowerCaseBit;
    if (base == kHexBase && lower >= u'a' && lower <= u'f') return lower - u'a' + kDecimalBase;
    return -1;
}

std::optional<QVariant> parseInteger(QStringView text) {
    text = text.trimmed();
    bool negative = false;
    int base = kDecimalBase;
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    } else if (text.startsWith(u"0x", Qt::CaseInsensitive)) {
        base = kHexBase;
        text = text.mid(2);
    }
    if (text.isEmpty()) return std::nullopt;
    uint64_t value = 0;
    for (QChar c : text) {
        const int digit = digitValue(c, base);
        if (digit < 0 ||
            value > (std::numeric_limits<uint64_t>::max() - uint64_t(digit)) / uint64_t(base))
            return std::nullopt;
        value = value * uint64_t(base) + uint64_t(digit);
    }
    constexpr uint64_t kSignedMax = uint64_t(std::numeric_limits<qint64>::max());
    if (negative) {
        if (value > kSignedMax + 1) return std::nullopt;
        return QVariant(qint64(0 - value));
    }
    if (value > kSignedMax) return QVariant(quint64(value));
    return QVariant(qint64(value));
}

std::optional<QVariant> parseReal(QStringView text) {
    text = text.trimmed();
    const QString lower = text.toString().toLower();
    if (lower == kNaN) return QVariant(std::numeric_limits<double>::quiet_NaN());
    for (QLatin1String word : {QLatin1String("inf"), QLatin1String("infinity")}) {
        if (lower == word || lower == QLatin1Char('+') + word)
            return QVariant(std::numeric_limits<double>::infinity());
        if (lower == QLatin1Char('-') + word)
            return QVariant(-std::numeric_limits<double>::infinity());
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok) return std::nullopt;
    return QVariant(value);
}

std::optional<QVariant> parseDate(const QString& text) {
    // Later parts may be left out, as other writers do.
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(\d{4})(?:-(\d{2})(?:-(\d{2})(?:T(\d{2})(?::(\d{2})(?::(\d{2}))?)?)?)?)?Z$)"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch()) return std::nullopt;
    auto part = [&](int i, int absent) {
        return match.capturedLength(i) ? match.capturedView(i).toInt() : absent;
    };
    const QDate day(part(1, 0), part(2, 1), part(3, 1));
    const QTime time(part(4, 0), part(5, 0), part(6, 0));
    if (!day.isValid() || !time.isValid() || day.year() < 1) return std::nullopt;
    return QVariant(QDateTime(day, time, Qt::UTC));
}

std::optional<QVariant> parseData(const QString& text) {
    QByteArray base64 = text.toLatin1();
    base64.removeIf([](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
    auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return std::nullopt;
    return QVariant(*decoded);
}

} // namespace

PlistXmlReader::PlistXmlReader(const QByteArray& bytes, uint64_t maxValues)
    : mXml(bytes), mMaxValues(maxValues) {}

// Counts a value (a dictionary key counts as one) before it is built.
bool PlistXmlReader::countValue() {
    if (mValues >= mMaxValues)
        return fail(QStringLiteral("more than the limit of %1 values").arg(mMaxValues));
    ++mValues;
    return true;
}

bool PlistXmlReader::fail(const QString& what) {
    if (mError.isEmpty()) mError = QStringLiteral("line %1: %2").arg(mXml.lineNumber()).arg(what);
    return false;
}

QVariant PlistXmlReader::read() {
    if (nextElement() != Next::Element) {
        fail(QStringLiteral("no <plist> element"));
        return {};
    }
    if (mXml.name() != kPlist) {
        fail(QStringLiteral("the document is <%1>, not <plist>").arg(mXml.name()));
        return {};
    }
    if (nextElement() != Next::Element) {
        fail(QStringLiteral("<plist> holds no value"));
        return {};
    }
    std::optional<QVariant> value = readValue(0);
    if (!value) return {};
    if (nextElement() != Next::End) {
        fail(QStringLiteral("<plist> holds more than one value"));
        return {};
    }
    if (!checkDocumentEnd()) return {};
    return *value;
}

// Moves to the next start or end element, refusing anything that could smuggle in content.
PlistXmlReader::Next PlistXmlReader::nextElement() {
    while (!mXml.atEnd()) {
        switch (mXml.readNext()) {
        case QXmlStreamReader::StartElement:
            return Next::Element;
        case QXmlStreamReader::EndElement:
            return Next::End;
        case QXmlStreamReader::Characters:
            if (!mXml.isWhitespace()) {
                fail(QStringLiteral("text outside a value"));
                return Next::Failed;
            }
            break;
        case QXmlStreamReader::DTD:
            if (mXml.text().contains(u'[') || !mXml.entityDeclarations().isEmpty() ||
                !mXml.notationDeclarations().isEmpty()) {
                fail(QStringLiteral("DTD internal subsets are not accepted"));
                return Next::Failed;
            }
            break;
        case QXmlStreamReader::EntityReference:
            fail(QStringLiteral("entity references are not accepted"));
            return Next::Failed;
        case QXmlStreamReader::Invalid:
            fail(mXml.errorString());
            return Next::Failed;
        default: // document start and end, comments, processing instructions
            break;
        }
    }
    if (mXml.hasError()) fail(mXml.errorString());
    return Next::Failed;
}

bool PlistXmlReader::checkDocumentEnd() {
    while (!mXml.atEnd()) {
        const QXmlStreamReader::TokenType token = mXml.readNext();
        if (token == QXmlStreamReader::Invalid) return fail(mXml.errorString());
        if (token == QXmlStreamReader::Characters && !mXml.isWhitespace())
            return fail(QStringLiteral("text after </plist>"));
    }
    return !mXml.hasError() || fail(mXml.errorString());
}

std::optional<QString> PlistXmlReader::readText() {
    QString text;
    while (!mXml.atEnd()) {
        switch (mXml.readNext()) {
        case QXmlStreamReader::Characters:
            text += mXml.text();
            break;
        case QXmlStreamReader::EndElement:
            if (!isWellFormed(text)) {
                fail(QStringLiteral("lone UTF-16 surrogate in text"));
                return std::nullopt;
            }
            return text;
        case QXmlStreamReader::StartElement:
            fail(QStringLiteral("<%1> inside a text element").arg(mXml.name()));
            return std::nullopt;
        case QXmlStreamReader::EntityReference:
            fail(QStringLiteral("entity references are not accepted"));
            return std::nullopt;
        case QXmlStreamReader::Invalid:
            fail(mXml.errorString());
            return std::nullopt;
        default: // comments, processing instructions
            break;
        }
    }
    fail(mXml.hasError() ? mXml.errorString() : QStringLiteral("unexpected end of document"));
    return std::nullopt;
}

std::optional<QVariant> PlistXmlReader::readValue(int depth) {
    if (!countValue()) return std::nullopt;
    const QStringView name = mXml.name();
    if (name == kDict || name == kArray) {
        if (depth >= kMaxDepth) {
            fail(QStringLiteral("nested deeper than %1 levels").arg(kMaxDepth));
            return std::nullopt;
        }
        return name == kDict ? readDictionary(depth) : readArray(depth);
    }
    return readScalar(name.toString());
}

std::optional<QVariant> PlistXmlReader::readDictionary(int depth) {
    QVariantMap map;
    for (;;) {
        const Next next = nextElement();
        if (next == Next::End) return QVariant(map);
        if (next == Next::Failed) return std::nullopt;
        if (mXml.name() != kKey) {
            fail(QStringLiteral("<%1> in a dictionary where a <key> belongs").arg(mXml.name()));
            return std::nullopt;
        }
        if (!countValue()) return std::nullopt;
        std::optional<QString> key = readText();
        if (!key) return std::nullopt;
        const Next valueStart = nextElement();
        if (valueStart != Next::Element) {
            fail(QStringLiteral("key \"%1\" has no value").arg(*key));
            return std::nullopt;
        }
        if (mXml.name() == kKey) {
            fail(QStringLiteral("key \"%1\" has no value").arg(*key));
            return std::nullopt;
        }
        std::optional<QVariant> value = readValue(depth + 1);
        if (!value) return std::nullopt;
        map.insert(map.cend(), *key, *value);
    }
}

std::optional<QVariant> PlistXmlReader::readArray(int depth) {
    QVariantList list;
    for (;;) {
        const Next next = nextElement();
        if (next == Next::End) return QVariant(list);
        if (next == Next::Failed) return std::nullopt;
        std::optional<QVariant> value = readValue(depth + 1);
        if (!value) return std::nullopt;
        list.append(*value);
    }
}

std::optional<QVariant> PlistXmlReader::readScalar(QStringView element) {
    const bool known = element == kString || element == kInteger || element == kReal ||
                       element == kDate || element == kData || element == kTrue ||
                       element == kFalse;
    if (!known) {
        fail(QStringLiteral("unknown element <%1>").arg(element));
        return std::nullopt;
    }
    const std::optional<QString> text = readText();
    if (!text) return std::nullopt;
    std::optional<QVariant> value;
    if (element == kString)
        value = QVariant(*text);
    else if (element == kInteger)
        value = parseInteger(*text);
    else if (element == kReal)
        value = parseReal(*text);
    else if (element == kDate)
        value = parseDate(*text);
    else if (element == kData)
        value = parseData(*text);
    else if (text->trimmed().isEmpty())
        value = QVariant(element == kTrue);
    if (!value) fail(QStringLiteral("malformed <%1>").arg(element));
    return value;
}

} // namespace vantle::plist
