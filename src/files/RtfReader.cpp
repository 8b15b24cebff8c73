#include "files/RtfReader.h"

#include "files/RtfParser.h"

namespace vantle {

std::optional<AttributedString> RtfReader::read(const QByteArray& data) {
    return RtfParser(data).parse();
}

} // namespace vantle
