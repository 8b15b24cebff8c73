#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace vantle {

// Paragraph alignments with the values the rich-text model has always used.
enum class TextAlignment { Left = 0, Right = 1, Center = 2, Justified = 3, Natural = 4 };

struct FontAttribute {
    QString name; // as a platform font name: "Helvetica-Bold", "Times-BoldItalic"
    double pointSize = 0;
    bool operator==(const FontAttribute&) const = default;
};

struct ParagraphStyle {
    TextAlignment alignment = TextAlignment::Left;
    double firstLineHeadIndent = 0; // points from the margin
    bool operator==(const ParagraphStyle&) const = default;
};

struct RgbColor {
    double red = 0; // 0.0 - 1.0 each
    double green = 0;
    double blue = 0;
    bool operator==(const RgbColor&) const = default;
};

// The attributes of one run; any may be absent.
struct TextAttributes {
    std::optional<FontAttribute> font;
    std::optional<ParagraphStyle> paragraphStyle;
    std::optional<RgbColor> foregroundColor;
    std::optional<int> underlineStyle;
    std::optional<QString> link;
    bool attachment = false; // the run is an embedded object's placeholder character
    bool operator==(const TextAttributes&) const = default;
};

struct AttributeRun {
    qsizetype location = 0;
    qsizetype length = 0;
    TextAttributes attributes;
};

// Text with runs of attributes. Adjacent runs always differ, so each run is an attribute range at
// its longest.
class AttributedString {
public:
    static constexpr QChar kAttachmentCharacter = QChar(0xFFFC);

    void append(const QString& text, const TextAttributes& attributes);
    void append(QStringView text, const TextAttributes& attributes);

    const QString& string() const { return mString; }
    const std::vector<AttributeRun>& runs() const { return mRuns; }
    qsizetype length() const { return mString.size(); }

private:
    QString mString;
    std::vector<AttributeRun> mRuns;
};

} // namespace vantle
