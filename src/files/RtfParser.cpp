#include "files/RtfParser.h"

#include "files/RtfReader.h"
#include "support/ParoxLog.h"

#include <algorithm>
#include <array>

namespace vantle {

namespace {

constexpr std::string_view kSignature = "{\\rtf";
constexpr int kDefaultHalfPoints = 24;
constexpr int kMaxHalfPoints = 3276; // 1638 points, the largest size word processors offer
constexpr double kTwipsPerPoint = 20;
constexpr int kMaxIndentTwips = 31680; // 22 inches: wider than any page
constexpr int kMaxParameterDigits = 10;
constexpr qint64 kMaxParameter = 0x7FFFFFFF;
constexpr int kMaxUnicodeSkip = 16;
constexpr int kUnicodeWrap = 0x10000;
constexpr int kMaxColorComponent = 255;
constexpr qsizetype kMaxFieldInstruction = 4096;
constexpr qsizetype kMaxFontName = 256;
constexpr int kHexDigits = 2;
const QString kDefaultFontName = QStringLiteral("Helvetica");

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A font as the platform names it: "Helvetica-Bold", "Times-BoldItalic". Writers that already
// name the face ("Helvetica-Oblique") keep their family and get the style spelled out.
QString platformFontName(const QString& family, bool bold, bool italic) {
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

} // namespace

RtfParser::RtfParser(const QByteArray& data)
    : mCursor(data.constData()), mEnd(data.constData() + data.size()) {}

std::optional<AttributedString> RtfParser::parse() {
    if (std::string_view(mCursor, mEnd - mCursor).substr(0, kSignature.size()) != kSignature) {
        ParoxLog("RTF rejected: the data doesn't start with %@", QString::fromLatin1(kSignature));
        return std::nullopt;
    }
    while (!mFinished && !mFailed && mCursor < mEnd)
        step();
    if (mFailed) return std::nullopt;
    // A document cut short keeps what was read.
    if (!mGroups.empty()) {
        flushBytes();
        endParagraph(top().paragraph);
    }
    return std::move(mResult);
}

void RtfParser::step() {
    const char c = *mCursor++;
    switch (c) {
    case '{':
        openGroup();
        return;
    case '}':
        closeGroup();
        return;
    case '\\':
        controlWord();
        return;
    case '\r':
    case '\n':
        return;
    default:
        textByte(c);
        return;
    }
}

void RtfParser::openGroup() {
    flushBytes();
    mSkipCount = 0;
    if (mGroups.size() >= static_cast<size_t>(RtfReader::kMaxGroupDepth)) {
        ParoxLog("RTF rejected: groups nested deeper than %d", RtfReader::kMaxGroupDepth);
        mFailed = true;
        return;
    }
    Group group = mGroups.empty() ? Group{} : top();
    group.ignorable = false;
    if (group.destination == Destination::Picture || group.destination == Destination::NeXTGraphic)
        group.destination = Destination::Skipped;
    mGroups.push_back(std::move(group));
}

void RtfParser::closeGroup() {
    flushBytes();
    mSkipCount = 0;
    if (mGroups.empty()) {
        mFinished = true;
        return;
    }
    const Group closing = std::move(mGroups.back());
    mGroups.pop_back();
    if (mGroups.empty()) {
        endParagraph(closing.paragraph);
        mFinished = true;
        return;
    }
    switch (closing.destination) {
    case Destination::FontTable:
        commitFont();
        break;
    case Destination::FieldInstruction:
        if (top().destination != Destination::FieldInstruction) parseFieldInstruction(top());
        break;
    case Destination::Picture:
    case Destination::NeXTGraphic:
        if (top().destination == Destination::Text && !top().dropsText) {
            appendToParagraph(QStringView(&AttributedString::kAttachmentCharacter, 1), true);
            // The character written after a NeXT attachment only stands in for it.
            if (closing.destination == Destination::NeXTGraphic) top().dropsText = true;
        }
        break;
    default:
        break;
    }
}

void RtfParser::controlWord() {
    if (mCursor >= mEnd) return;
    if (!isLetter(*mCursor)) {
        controlSymbol(*mCursor++);
        return;
    }
    const char* start = mCursor;
    while (mCursor < mEnd && isLetter(*mCursor))
        ++mCursor;
    const std::string_view name(start, mCursor - start);
    std::optional<int> parameter;
    bool negative = false;
    if (mCursor + 1 < mEnd && *mCursor == '-' && isDigit(mCursor[1])) {
        negative = true;
        ++mCursor;
    }
    if (mCursor < mEnd && isDigit(*mCursor)) {
        qint64 value = 0;
        int digits = 0;
        for (; mCursor < mEnd && isDigit(*mCursor); ++mCursor)
            if (++digits <= kMaxParameterDigits) value = value * 10 + (*mCursor - '0');
        value = std::min(value, kMaxParameter);
        parameter = static_cast<int>(negative ? -value : value);
    }
    if (mCursor < mEnd && *mCursor == ' ') ++mCursor;
    word(name, parameter);
}

void RtfParser::controlSymbol(char symbol) {
    if (symbol == '\'') {
        if (mEnd - mCursor < kHexDigits) {
            mCursor = mEnd;
            return;
        }
        const int high = hexValue(mCursor[0]);
        const int low = hexValue(mCursor[1]);
        mCursor += kHexDigits;
        if (high >= 0 && low >= 0) textByte(static_cast<char>(high * 16 + low));
        return;
    }
    if (consumeSkipped()) return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        mPendingBytes.append(symbol);
        return;
    case '*':
        top().ignorable = true;
        return;
    case '\r':
    case '\n':
        word("par", std::nullopt);
        return;
    default:
        break;
    }
    flushBytes();
    if (symbol == '~')
        text(u"\u00A0");
    else if (symbol == '_')
        text(u"\u2011");
}

bool RtfParser::consumeSkipped() {
    if (mSkipCount <= 0) return false;
    --mSkipCount;
    return true;
}

void RtfParser::textByte(char byte) {
    if (consumeSkipped()) return;
    mPendingBytes.append(byte);
}

void RtfParser::word(std::string_view name, std::optional<int> parameter) {
    const RtfWord found = lookupRtfWord(name);
    if (found.keyword == RtfKeyword::Binary) {
        flushBytes();
        const qint64 length = parameter.value_or(0);
        if (length < 0 || length > mEnd - mCursor) {
            ParoxLog("RTF rejected: \\bin%d claims more bytes than the document holds",
                     parameter.value_or(0));
            mFailed = true;
            return;
        }
        mCursor += length; // binary data is never text
        return;
    }
    if (consumeSkipped()) return;
    flushBytes();
    Group& group = top();
    const bool ignorable = std::exchange(group.ignorable, false);
    const bool inText = group.destination == Destination::Text;
    const int value = parameter.value_or(0);
    const bool on = !parameter || *parameter != 0;
    CharFormat& chars = group.chars;
    ParaFormat& paragraph = group.paragraph;

    switch (found.keyword) {
    case RtfKeyword::Unknown:
        if (ignorable) group.destination = Destination::Skipped;
        return;
    case RtfKeyword::FontTable:
        group.destination = Destination::FontTable;
        mFontEntry = -1;
        mFontName.clear();
        return;
    case RtfKeyword::ColorTable:
        group.destination = Destination::ColorTable;
        mColors.clear();
        mRed = mGreen = mBlue = std::nullopt;
        return;
    case RtfKeyword::SkippedDestination:
        group.destination = Destination::Skipped;
        return;
    case RtfKeyword::Picture:
    case RtfKeyword::Object:
        group.destination = inText ? Destination::Picture : Destination::Skipped;
        return;
    case RtfKeyword::NeXTGraphic:
        group.destination = inText ? Destination::NeXTGraphic : Destination::Skipped;
        return;
    case RtfKeyword::Field:
        group.fieldLink.clear();
        return;
    case RtfKeyword::FieldInstruction:
        if (!inText) return;
        group.destination = Destination::FieldInstruction;
        mFieldInstruction.clear();
        return;
    case RtfKeyword::FieldResult:
        if (inText) chars.link = group.fieldLink;
        return;
    case RtfKeyword::ShapePicture:
    case RtfKeyword::Rtf:
    case RtfKeyword::Binary:
        return;
    case RtfKeyword::AnsiCodePage:
        if (value > 0) mDocumentCodePage = value;
        return;
    case RtfKeyword::Ansi:
        mDocumentCodePage = RtfCodePage::kWestern;
        return;
    case RtfKeyword::Mac:
        mDocumentCodePage = RtfCodePage::kMacRoman;
        return;
    case RtfKeyword::Pc:
        mDocumentCodePage = RtfCodePage::kDosUs;
        return;
    case RtfKeyword::Pca:
        mDocumentCodePage = RtfCodePage::kDosWestern;
        return;
    case RtfKeyword::DefaultFont:
        mDefaultFont = value;
        return;
    case RtfKeyword::FontCharset:
        if (group.destination == Destination::FontTable)
            mFontCodePage = RtfCodePage::codePageForCharset(value);
        return;
    case RtfKeyword::Red:
    case RtfKeyword::Green:
    case RtfKeyword::Blue: {
        if (group.destination != Destination::ColorTable) return;
        const int component = std::clamp(value, 0, kMaxColorComponent);
        if (found.keyword == RtfKeyword::Red)
            mRed = component;
        else if (found.keyword == RtfKeyword::Green)
            mGreen = component;
        else
            mBlue = component;
        return;
    }
    case RtfKeyword::Plain: {
        const QString link = chars.link;
        chars = CharFormat{};
        chars.link = link;
        return;
    }
    case RtfKeyword::Font:
        if (group.destination == Destination::FontTable) {
            commitFont();
            mFontEntry = value;
            mFontCodePage = 0;
        } else {
            chars.font = value;
        }
        return;
    case RtfKeyword::FontSize:
        chars.halfPoints = std::clamp(value, 0, kMaxHalfPoints);
        return;
    case RtfKeyword::Bold:
        chars.bold = on;
        return;
    case RtfKeyword::Italic:
        chars.italic = on;
        return;
    case RtfKeyword::Underline:
        chars.underline = on;
        return;
    case RtfKeyword::UnderlineNone:
        chars.underline = false;
        return;
    case RtfKeyword::Color:
        chars.color = std::max(value, 0);
        return;
    case RtfKeyword::Unicode: {
        int code = value < 0 ? value + kUnicodeWrap : value;
        if (code < 0 || code >= kUnicodeWrap) code = QChar::ReplacementCharacter;
        const QChar character(static_cast<char16_t>(code));
        text(QStringView(&character, 1));
        mSkipCount = group.unicodeSkip;
        return;
    }
    case RtfKeyword::UnicodeSkip:
        group.unicodeSkip = std::clamp(value, 0, kMaxUnicodeSkip);
        return;
    case RtfKeyword::ParagraphDefaults:
        paragraph = ParaFormat{};
        return;
    case RtfKeyword::AlignLeft:
        paragraph.alignment = TextAlignment::Left;
        return;
    case RtfKeyword::AlignRight:
        paragraph.alignment = TextAlignment::Right;
        return;
    case RtfKeyword::AlignCenter:
        paragraph.alignment = TextAlignment::Center;
        return;
    case RtfKeyword::AlignJustified:
        paragraph.alignment = TextAlignment::Justified;
        return;
    case RtfKeyword::LeftIndent:
        paragraph.leftIndentTwips = std::clamp(value, -kMaxIndentTwips, kMaxIndentTwips);
        return;
    case RtfKeyword::FirstLineIndent:
        paragraph.firstIndentTwips = std::clamp(value, -kMaxIndentTwips, kMaxIndentTwips);
        return;
    case RtfKeyword::Paragraph:
    case RtfKeyword::Row:
        if (!inText) return;
        text(u"\n");
        endParagraph(paragraph);
        return;
    case RtfKeyword::Line:
        text(u"\n");
        return;
    case RtfKeyword::Tab:
    case RtfKeyword::Cell:
        text(u"\t");
        return;
    case RtfKeyword::Character: {
        const QChar character(found.character);
        text(QStringView(&character, 1));
        return;
    }
    }
}

void RtfParser::flushBytes() {
    if (mPendingBytes.isEmpty()) return;
    const QString decoded = mDecoder.decode(mPendingBytes, currentCodePage());
    mPendingBytes.clear();
    text(decoded);
}

int RtfParser::currentCodePage() const {
    if (mGroups.empty()) return mDocumentCodePage;
    const Group& group = mGroups.back();
    int codePage = 0;
    if (group.destination == Destination::FontTable) {
        codePage = mFontCodePage;
    } else {
        auto it = mFonts.constFind(group.chars.font >= 0 ? group.chars.font : mDefaultFont);
        if (it != mFonts.constEnd()) codePage = it->codePage;
    }
    return codePage ? codePage : mDocumentCodePage;
}

void RtfParser::text(QStringView text) {
    Group& group = top();
    switch (group.destination) {
    case Destination::Text:
        if (!group.dropsText) appendToParagraph(text, false);
        return;
    case Destination::FontTable:
        for (const QChar c : text) {
            if (c == QLatin1Char(';'))
                commitFont();
            else if (mFontName.size() < kMaxFontName)
                mFontName += c;
        }
        return;
    case Destination::ColorTable:
        for (const QChar c : text) {
            if (c != QLatin1Char(';')) continue;
            if (mRed || mGreen || mBlue)
                mColors.push_back(RgbColor{mRed.value_or(0) / double(kMaxColorComponent),
                                           mGreen.value_or(0) / double(kMaxColorComponent),
                                           mBlue.value_or(0) / double(kMaxColorComponent)});
            else
                mColors.push_back(std::nullopt); // "auto": the reader's default colour
            mRed = mGreen = mBlue = std::nullopt;
        }
        return;
    case Destination::FieldInstruction:
        mFieldInstruction += text.left(kMaxFieldInstruction - mFieldInstruction.size());
        return;
    case Destination::Skipped:
    case Destination::Picture:
    case Destination::NeXTGraphic:
        return;
    }
}

void RtfParser::appendToParagraph(QStringView text, bool attachment) {
    const CharFormat& chars = top().chars;
    mParagraphText += text;
    if (!attachment && !mParagraphSegments.empty() && !mParagraphSegments.back().attachment &&
        mParagraphSegments.back().chars == chars) {
        mParagraphSegments.back().length += text.size();
        return;
    }
    mParagraphSegments.push_back({text.size(), chars, attachment});
}

// Paragraph formatting belongs to the paragraph mark: it applies to the whole paragraph.
void RtfParser::endParagraph(const ParaFormat& paragraph) {
    qsizetype position = 0;
    for (const Segment& segment : mParagraphSegments) {
        mResult.append(QStringView(mParagraphText).mid(position, segment.length),
                       attributesFor(segment, paragraph));
        position += segment.length;
    }
    mParagraphSegments.clear();
    mParagraphText.clear();
}

void RtfParser::commitFont() {
    const QString name = mFontName.trimmed();
    mFontName.clear();
    if (mFontEntry < 0 || name.isEmpty()) return;
    mFonts.insert(mFontEntry, FontEntry{name, mFontCodePage});
    mFontEntry = -1;
}

void RtfParser::parseFieldInstruction(Group& field) {
    QStringList tokens;
    const QString instruction = mFieldInstruction;
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
    if (tokens.isEmpty() ||
        tokens.front().compare(QLatin1String("HYPERLINK"), Qt::CaseInsensitive) != 0)
        return;
    QString target;
    for (qsizetype i = 1; i < tokens.size(); ++i) {
        const QString& token = tokens[i];
        if (token.startsWith(QLatin1Char('\\'))) {
            // Switches with an argument: \l names a place in the document, \o and \t are tips.
            const bool takesArgument = token == QLatin1String("\\l") ||
                                       token == QLatin1String("\\o") ||
                                       token == QLatin1String("\\t");
            if (takesArgument && i + 1 < tokens.size()) {
                if (token == QLatin1String("\\l") && target.isEmpty())
                    target = QLatin1Char('#') + tokens[i + 1];
                ++i;
            }
            continue;
        }
        if (target.isEmpty()) target = token;
    }
    field.fieldLink = target;
}

TextAttributes RtfParser::attributesFor(const Segment& segment, const ParaFormat& paragraph) const {
    TextAttributes attributes;
    attributes.font = fontFor(segment.chars);
    const int indentTwips =
        std::clamp(paragraph.leftIndentTwips + paragraph.firstIndentTwips, 0, kMaxIndentTwips);
    attributes.paragraphStyle = ParagraphStyle{paragraph.alignment, indentTwips / kTwipsPerPoint};
    const int color = segment.chars.color;
    if (color < static_cast<int>(mColors.size()) && mColors[color])
        attributes.foregroundColor = mColors[color];
    if (segment.chars.underline) attributes.underlineStyle = 1;
    if (!segment.chars.link.isEmpty()) attributes.link = segment.chars.link;
    attributes.attachment = segment.attachment;
    return attributes;
}

FontAttribute RtfParser::fontFor(const CharFormat& chars) const {
    auto it = mFonts.constFind(chars.font);
    if (it == mFonts.constEnd()) it = mFonts.constFind(mDefaultFont);
    const QString family = it != mFonts.constEnd() ? it->name : kDefaultFontName;
    const int halfPoints = chars.halfPoints > 0 ? chars.halfPoints : kDefaultHalfPoints;
    return FontAttribute{platformFontName(family, chars.bold, chars.italic), halfPoints / 2.0};
}

} // namespace vantle
