#include "files/FSNodeInfo.h"
#include "files/RtfReader.h"
#include "support/ParoxLog.h"

#include <QFile>
#include <algorithm>
#include <cmath>

namespace vantle {

namespace {

const QString kHtmlHeader = QStringLiteral(
    "<html ><meta name = \"viewport\" content = \"width=500\"><meta http-equiv=\"Content-Type\" "
    "content=\"text/html; charset=UTF-8\"><body><div>");
const QString kHtmlFooter = QStringLiteral("</div></body></html>");
const QString kIndentUnit = QStringLiteral("&nbsp;");
// Points of first-line indent per non-breaking space.
constexpr int kPointsPerIndentSpace = 9;
constexpr float kSubstituteScaleFactor = 0.75f;
// Room for the tags of a typical run, so that the page is rarely copied while it grows.
constexpr qsizetype kTagBytesPerRun = 128;
constexpr double kColorComponentMax = 255.0;
// Absorbs the rounding of a byte that went through n/255 and back, so 128 stays 128.
constexpr double kColorRoundingSlack = 1e-6;
constexpr qsizetype kMaxFileBytes = qsizetype(1) << 30;
// The page travels in one message (at most 64 MiB) beside the file's last piece, so a larger one
// could never be sent; and a hostile document (one-letter runs under a wide indent) would
// otherwise grow it to hundreds of times its own size. Counted in UTF-16 units while building, in
// bytes once encoded.
constexpr qsizetype kMaxPageSize = qsizetype(60) << 20;

QString pageTooLarge() {
    ParoxLog("RTF to HTML: the page would exceed %lld bytes; no substitute", kMaxPageSize);
    return QString();
}

int colorByte(double component) {
    const double scaled = std::floor(component * kColorComponentMax + kColorRoundingSlack);
    return static_cast<int>(std::clamp(scaled, 0.0, kColorComponentMax));
}

QString hex2(int value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
}

// Attribute values come from the document; they must not be able to close the attribute.
QString escapedAttribute(QString value) {
    value.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    value.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    value.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    value.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return value;
}

// One pass: markup escaped, every line end ("\r\n", "\r" or "\n") a break, and a line end in
// the last position followed by the indentation so that the next line starts indented. False
// once the page has outgrown kMaxPageSize.
bool appendRunText(QString& html, QStringView text, const QString& indent) {
    const qsizetype length = text.size();
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\r' && c != u'\n' && c != u'&' && c != u'<' && c != u'>') continue;
        if (html.size() > kMaxPageSize) return false;
        html += text.mid(plainFrom, i - plainFrom);
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < length && text[i + 1] == QLatin1Char('\n')) ++i;
            if (i + 1 == length) {
                html += QLatin1String("<br />\n");
                html += indent;
            } else {
                html += QLatin1String("<br />");
            }
        } else if (c == u'&') {
            // A literal ampersand would otherwise start an entity and change what is shown.
            html += QLatin1String("&amp;");
        } else {
            html += c == u'<' ? QLatin1String("&lt;") : QLatin1String("&gt;");
        }
        plainFrom = i + 1;
    }
    html += text.mid(plainFrom);
    return html.size() <= kMaxPageSize;
}

// Pairs of spaces, left to right, and tabs become non-breaking spaces over the whole page; none
// when that outgrows kMaxPageSize.
std::optional<QString> withHardSpaces(const QString& html) {
    QString out;
    out.reserve(html.size() + html.size() / 8 + kHtmlFooter.size());
    const QStringView view(html);
    const qsizetype length = view.size();
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = view[i].unicode();
        const bool pair = c == u' ' && i + 1 < length && view[i + 1] == QLatin1Char(' ');
        if (!pair && c != u'\t') continue;
        if (out.size() > kMaxPageSize) return std::nullopt;
        out += view.mid(plainFrom, i - plainFrom);
        if (pair) {
            out += QLatin1String("&nbsp;&nbsp;");
            ++i;
        } else {
            out += QLatin1String("&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;");
        }
        plainFrom = i + 1;
    }
    out += view.mid(plainFrom);
    if (out.size() + kHtmlFooter.size() > kMaxPageSize) return std::nullopt;
    return out;
}

} // namespace

QString FSNodeInfo::stringForAlignment(TextAlignment alignment) {
    switch (alignment) {
    case TextAlignment::Right:
        return QStringLiteral("right");
    case TextAlignment::Center:
        return QStringLiteral("center");
    case TextAlignment::Justified:
        return QStringLiteral("justify");
    case TextAlignment::Left:
    case TextAlignment::Natural:
        break;
    }
    return QStringLiteral("left");
}

RgbColor FSNodeInfo::convertColorSpaceToRGB(const RgbColor& color) {
    return color;
}

QString FSNodeInfo::convertToHtml(const AttributedString& text, float scaleFactor) {
    if (text.length() == 0) return QString();
    // Every character but an attachment's writes at least one.
    if (text.length() > kMaxPageSize) return pageTooLarge();
    QString html = kHtmlHeader;
    html.reserve(std::min(text.length() * 2 + qsizetype(text.runs().size()) * kTagBytesPerRun,
                          kMaxPageSize));
    QString indent;
    TextAlignment lastAlignment = TextAlignment::Left;
    const QString& plain = text.string();

    for (const AttributeRun& run : text.runs()) {
        if (html.size() > kMaxPageSize) return pageTooLarge();
        const TextAttributes& attributes = run.attributes;
        if (const auto& paragraph = attributes.paragraphStyle) {
            if (paragraph->alignment != lastAlignment) {
                html += QLatin1String("</div><div align=\"");
                html += stringForAlignment(paragraph->alignment);
                html += QLatin1String("\">");
                lastAlignment = paragraph->alignment;
            }
            const int spaces = std::max(0, static_cast<int>(paragraph->firstLineHeadIndent)) /
                               kPointsPerIndentSpace;
            indent = kIndentUnit.repeated(spaces);
            html += indent;
        }
        if (attributes.attachment) continue;

        bool italic = false;
        bool bold = false;
        if (const auto& font = attributes.font) {
            italic = font->name.contains(QLatin1String("italic"), Qt::CaseInsensitive);
            bold = font->name.contains(QLatin1String("bold"), Qt::CaseInsensitive);
            QString style;
            if (italic) style += QLatin1String("font-style: italic; ");
            if (bold) style += QLatin1String("font-weight: bold;");
            html += QStringLiteral("<font style=\"font-family: %1,Verdana; font-size: %2pt; %3\">")
                        .arg(escapedAttribute(font->name))
                        .arg(static_cast<int>(font->pointSize * scaleFactor))
                        .arg(style);
            if (italic) html += QLatin1String("<i>");
            if (bold) html += QLatin1String("<b>");
        }
        const bool underline = attributes.underlineStyle.has_value();
        if (underline) html += QLatin1String("<u>");
        const bool colored = attributes.foregroundColor.has_value();
        if (colored) {
            const RgbColor color = convertColorSpaceToRGB(*attributes.foregroundColor);
            html += QLatin1String("<font style=\"color: #") + hex2(colorByte(color.red)) +
                    hex2(colorByte(color.green)) + hex2(colorByte(color.blue)) +
                    QLatin1String(";\">");
        }
        const bool linked = attributes.link.has_value();
        if (linked)
            html += QStringLiteral("<a href=\"%1\">").arg(escapedAttribute(*attributes.link));

        if (!appendRunText(html, QStringView(plain).mid(run.location, run.length), indent))
            return pageTooLarge();

        if (underline) html += QLatin1String("</u>");
        if (bold) html += QLatin1String("</b>");
        if (italic) html += QLatin1String("</i>");
        if (linked) html += QLatin1String("</a>");
        if (colored) html += QLatin1String("</font>");
        if (attributes.font) html += QLatin1String("</font>");
    }

    std::optional<QString> page = withHardSpaces(html);
    if (!page) return pageTooLarge();
    *page += kHtmlFooter;
    return *page;
}

QByteArray FSNodeInfo::htmlSubstituteForRtf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes) return QByteArray("");
    const std::optional<AttributedString> text = RtfReader::read(file.readAll());
    if (!text) return QByteArray("");
    const QByteArray html = convertToHtml(*text, kSubstituteScaleFactor).toUtf8();
    if (html.size() > kMaxPageSize) {
        pageTooLarge();
        return QByteArray("");
    }
    return html.isEmpty() ? QByteArray("") : html; // empty, but present
}

} // namespace vantle
