#include "files/RtfParser.h"

#include "files/RtfReader.h"
#include "support/ParoxLog.h"

#include <algorithm>
#include <array>

namespace vantle {

namespace {

constexpr std::string_view kSignature = "{\\rtf";
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
        if (top().destination != Destination::FieldInstruction)
            top().fieldLink = rtfHyperlinkTarget(mFieldInstruction);
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
    CharFormat& chars = group.chars;
    ParaFormat& paragraph = group.paragraph;

    if (found.keyword == RtfKeyword::Font && group.destination == Destination::FontTable) {
        commitFont();
        mFontEntry = value;
        mFontCodePage = 0;
        return;
    }
    if (chars.apply(found.keyword, parameter) || paragraph.apply(found.keyword, parameter)) return;

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
    default: // formatting, applied above
        return;
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

TextAttributes RtfParser::attributesFor(const Segment& segment, const ParaFormat& paragraph) const {
    TextAttributes attributes;
    attributes.font = fontFor(segment.chars);
    attributes.paragraphStyle = paragraph.style();
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
    return FontAttribute{CharFormat::platformFontName(family, chars.bold, chars.italic),
                         chars.pointSize()};
}

} // namespace vantle
