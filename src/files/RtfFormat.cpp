#include "files/RtfFormat.h"

#include <QStringList>
#include <algorithm>
#include <array>

namespace vantle {

namespace {

constexpr int kDefaultHalfPoints = 24;
constexpr int kMaxHalfPoints = 3276; // 1638 points, the largest size word processors offer
constexpr double kHalfPointsPerPoint = 2;
constexpr double kTwipsPerPoint = 20;
constexpr int kMaxIndentTwips = 31680; // 22 inches: wider than any page

QStringList instructionTokens(const QString& instruction) {
    QStringList tokens;
    for (qsizetype i = 0; i < instruction.size();) {
        if (instruction[i].isSpace()) {
            ++i;
            continue;
        }
        qsizetype end;
        if (instruction[i] == QLatin1Char('"')) {
            end = instruction.indexOf(QLatin1Char('"'), i + 1);
            if (end < 0) end = instruction.size();
            tokens << instruction.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        for (end = i; end < instruction.size() && !instruction[end].isSpace(); ++end) {
        }
        tokens << instruction.mid(i, end - i);
        i = end;
    }
    return tokens;
}

} // namespace

bool RtfCharFormat::apply(RtfKeyword keyword, std::optional<int> parameter) {
    const int value = parameter.value_or(0);
    const bool on = !parameter || *parameter != 0;
    switch (keyword) {
    case RtfKeyword::Plain: {
        const QString keptLink = link; // a field's result stays a link
        *this = RtfCharFormat{};
        link = keptLink;
        return true;
    }
    case RtfKeyword::Font:
        font = value;
        return true;
    case RtfKeyword::FontSize:
        halfPoints = std::clamp(value, 0, kMaxHalfPoints);
        return true;
    case RtfKeyword::Bold:
        bold = on;
        return true;
    case RtfKeyword::Italic:
        italic = on;
        return true;
    case RtfKeyword::Underline:
        underline = on;
        return true;
    case RtfKeyword::UnderlineNone:
        underline = false;
        return true;
    case RtfKeyword::Color:
        color = std::max(value, 0);
        return true;
    default:
        return false;
    }
}

double RtfCharFormat::pointSize() const {
    return (halfPoints > 0 ? halfPoints : kDefaultHalfPoints) / kHalfPointsPerPoint;
}

QString RtfCharFormat::platformFontName(const QString& family, bool bold, bool italic) {
    static const std::array<QLatin1String, 10> faceSuffixes = {
        QLatin1String("roman"),   QLatin1String("regular"),    QLatin1String("plain"),
        QLatin1String("book"),    QLatin1String("bold"),       QLatin1String("italic"),
        QLatin1String("oblique"), QLatin1String("bolditalic"), QLatin1String("boldoblique"),
        QLatin1String("medium")};
    QString base = family;
    const qsizetype dash = family.lastIndexOf(QLatin1Char('-'));
    if (dash > 0) {
        const QString face = family.mid(dash + 1).toLower();
        if (std::find(faceSuffixes.begin(), faceSuffixes.end(), face) != faceSuffixes.end()) {
            base = family.left(dash);
            bold = bold || face.contains(QLatin1String("bold"));
            italic = italic || face.contains(QLatin1String("italic")) ||
                     face.contains(QLatin1String("oblique"));
        }
    }
    if (!bold && !italic) return family;
    return base + QLatin1Char('-') + (bold ? QLatin1String("Bold") : QLatin1String()) +
           (italic ? QLatin1String("Italic") : QLatin1String());
}

bool RtfParaFormat::apply(RtfKeyword keyword, std::optional<int> parameter) {
    const int value = parameter.value_or(0);
    switch (keyword) {
    case RtfKeyword::ParagraphDefaults:
        *this = RtfParaFormat{};
        return true;
    case RtfKeyword::AlignLeft:
        alignment = TextAlignment::Left;
        return true;
    case RtfKeyword::AlignRight:
        alignment = TextAlignment::Right;
        return true;
    case RtfKeyword::AlignCenter:
        alignment = TextAlignment::Center;
        return true;
    case RtfKeyword::AlignJustified:
        alignment = TextAlignment::Justified;
        return true;
    case RtfKeyword::LeftIndent:
        leftIndentTwips = std::clamp(value, -kMaxIndentTwips, kMaxIndentTwips);
        return true;
    case RtfKeyword::FirstLineIndent:
        firstIndentTwips = std::clamp(value, -kMaxIndentTwips, kMaxIndentTwips);
        return true;
    default:
        return false;
    }
}

// The first line's indent from the margin, never negative, never wider than a page.
ParagraphStyle RtfParaFormat::style() const {
    const int twips = std::clamp(leftIndentTwips + firstIndentTwips, 0, kMaxIndentTwips);
    return ParagraphStyle{alignment, twips / kTwipsPerPoint};
}

QString rtfHyperlinkTarget(const QString& instruction) {
    const QStringList tokens = instructionTokens(instruction);
    if (tokens.isEmpty() ||
        tokens.front().compare(QLatin1String("HYPERLINK"), Qt::CaseInsensitive) != 0)
        return QString();
    QString target;
    for (qsizetype i = 1; i < tokens.size(); ++i) {
        const QString& token = tokens[i];
        if (token.startsWith(QLatin1Char('\\'))) {
            // Switches with an argument: \l names a place in the document, \o and \t are tips.
            const bool place = token == QLatin1String("\\l");
            const bool takesArgument =
                place || token == QLatin1String("\\o") || token == QLatin1String("\\t");
            if (takesArgument && i + 1 < tokens.size()) {
                if (place && target.isEmpty()) target = QLatin1Char('#') + tokens[i + 1];
                ++i;
            }
            continue;
        }
        if (target.isEmpty()) target = token;
    }
    return target;
}

} // namespace vantle
