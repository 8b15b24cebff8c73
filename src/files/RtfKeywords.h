#pragma once

#include <QChar>
#include <string_view>

namespace vantle {

// The RTF control words the reader acts on; everything else is read past.
enum class RtfKeyword {
    Unknown,
    // destinations
    FontTable,
    ColorTable,
    SkippedDestination,
    Picture,
    Object,
    NeXTGraphic,
    Field,
    FieldInstruction,
    FieldResult,
    ShapePicture,
    // document
    Rtf,
    AnsiCodePage,
    Ansi,
    Mac,
    Pc,
    Pca,
    DefaultFont,
    FontCharset,
    Red,
    Green,
    Blue,
    Binary,
    // characters
    Plain,
    Font,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Color,
    Unicode,
    UnicodeSkip,
    // paragraphs
    ParagraphDefaults,
    AlignLeft,
    AlignRight,
    AlignCenter,
    AlignJustified,
    LeftIndent,
    FirstLineIndent,
    // breaks
    Paragraph,
    Line,
    Tab,
    Cell,
    Row,
    // a control word that stands for one character
    Character,
};

struct RtfWord {
    RtfKeyword keyword = RtfKeyword::Unknown;
    char16_t character = 0; // for RtfKeyword::Character
};

RtfWord lookupRtfWord(std::string_view word);

} // namespace vantle
