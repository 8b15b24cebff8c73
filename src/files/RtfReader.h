#pragma once

#include "files/AttributedString.h"

#include <QByteArray>
#include <optional>

namespace vantle {

// Reads an RTF document into text with attribute runs: fonts (bold and italic in the font name as
// a platform names them), paragraph alignment and first-line indent, colours, underline, links,
// and one attachment character per embedded picture or object. Pure and linear in the input;
// none for something that isn't RTF or that nests or claims more than it holds.
class RtfReader {
public:
    static constexpr int kMaxGroupDepth = 256;

    static std::optional<AttributedString> read(const QByteArray& data);
};

} // namespace vantle
