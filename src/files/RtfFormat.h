#pragma once

#include "files/AttributedString.h"
#include "files/RtfKeywords.h"

#include <QString>
#include <optional>

namespace vantle {

// Character formatting in force in an RTF group.
struct RtfCharFormat {
    int font = -1;
    int halfPoints = 0; // 0: the default size
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int color = 0;
    QString link;
    bool operator==(const RtfCharFormat&) const = default;

    // False for a word that isn't character formatting.
    bool apply(RtfKeyword keyword, std::optional<int> parameter);
    double pointSize() const;

    // A font as the platform names it: "Helvetica-Bold", "Times-BoldItalic". Writers that already
    // name the face ("Helvetica-Oblique") keep their family and get the style spelled out.
    static QString platformFontName(const QString& family, bool bold, bool italic);
};

// Paragraph formatting in force in an RTF group.
struct RtfParaFormat {
    TextAlignment alignment = TextAlignment::Left;
    int leftIndentTwips = 0;
    int firstIndentTwips = 0;

    // False for a word that isn't paragraph formatting.
    bool apply(RtfKeyword keyword, std::optional<int> parameter);
    ParagraphStyle style() const;
};

// The target of a field instruction such as HYPERLINK "https://example.org/"; empty for other
// fields.
QString rtfHyperlinkTarget(const QString& instruction);

} // namespace vantle
