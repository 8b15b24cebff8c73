#include "platform/Plist.h"

#include "platform/PlistBinaryReader.h"
#include "platform/PlistBinaryWriter.h"
#include "platform/PlistXmlReader.h"
#include "platform/PlistXmlWriter.h"

namespace vantle::plist {

namespace {

constexpr char kBinaryPrefix[] = "bplist";

template <typename Reader> ReadResult readWith(const QByteArray& bytes, Format format) {
    Reader reader(bytes);
    ReadResult result;
    result.format = format;
    result.value = reader.read();
    result.error = reader.error();
    return result;
}

} // namespace

ReadResult read(const QByteArray& bytes) {
    if (bytes.startsWith(kBinaryPrefix)) return readBinary(bytes);
    return readXml(bytes);
}

ReadResult readBinary(const QByteArray& bytes) {
    return readWith<PlistBinaryReader>(bytes, Format::Binary);
}

ReadResult readXml(const QByteArray& bytes) {
    return readWith<PlistXmlReader>(bytes, Format::Xml);
}

QByteArray writeBinary(const QVariant& value, QString* error) {
    return PlistBinaryWriter().write(value, error);
}

QByteArray writeXml(const QVariant& value, QString* error) {
    return PlistXmlWriter().write(value, error);
}

} // namespace vantle::plist
