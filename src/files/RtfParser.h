#pragma once

#include "files/AttributedString.h"
#include "files/RtfCodePage.h"
#include "files/RtfFormat.h"
#include "files/RtfKeywords.h"

#include <QByteArray>
#include <QHash>
#include <optional>
#include <string_view>
#include <vector>

namespace vantle {

// One pass over an RTF document; RtfReader is its face.
class RtfParser {
public:
    explicit RtfParser(const QByteArray& data);
    std::optional<AttributedString> parse();

private:
    enum class Destination {
        Text,
        Skipped,
        FontTable,
        ColorTable,
        FieldInstruction,
        Picture,    // one attachment character when it closes
        NeXTGraphic // likewise, and the placeholder text after it is dropped
    };
    using CharFormat = RtfCharFormat;
    using ParaFormat = RtfParaFormat;
    struct Group {
        Destination destination = Destination::Text;
        CharFormat chars;
        ParaFormat paragraph;
        int unicodeSkip = 1;
        QString fieldLink;      // the hyperlink of the field this group belongs to
        bool dropsText = false; // after a NeXT attachment: its placeholder character
        bool ignorable = false; // "\*" seen: an unknown destination here is skipped
    };
    struct Segment {
        qsizetype length = 0;
        CharFormat chars;
        bool attachment = false;
    };
    struct FontEntry {
        QString name;
        int codePage = 0;
    };

    void step();
    void openGroup();
    void closeGroup();
    void controlWord();
    void controlSymbol(char symbol);
    void word(std::string_view name, std::optional<int> parameter);
    void destinationWord(RtfKeyword keyword);
    void textByte(char byte);
    bool consumeSkipped();
    void flushBytes();
    void text(QStringView text);
    void fontTableText(QStringView text);
    void appendToParagraph(QStringView text, bool attachment);
    void endParagraph(const ParaFormat& paragraph);
    void commitFont();
    int currentCodePage() const;
    TextAttributes attributesFor(const Segment& segment, const ParaFormat& paragraph) const;
    FontAttribute fontFor(const CharFormat& chars) const;
    Group& top() { return mGroups.back(); }

    const char* mCursor;
    const char* const mEnd;
    std::vector<Group> mGroups;
    bool mFinished = false;
    bool mFailed = false;

    RtfCodePage mDecoder;
    int mDocumentCodePage = RtfCodePage::kWestern;
    int mDefaultFont = -1;
    QHash<int, FontEntry> mFonts;
    int mFontEntry = -1;
    QString mFontName;
    int mFontCodePage = 0;
    std::vector<std::optional<RgbColor>> mColors;
    std::optional<int> mRed, mGreen, mBlue;
    QString mFieldInstruction;
    QByteArray mPendingBytes;
    int mSkipCount = 0;

    QString mParagraphText;
    std::vector<Segment> mParagraphSegments;
    AttributedString mResult;
};

} // namespace vantle
