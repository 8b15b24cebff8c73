#include "platform/Plist.h"

#include "platform/PlistBinaryFormat.h"
#include "platform/PlistBinaryReader.h"
#include "platform/PlistBinaryWriter.h"
#include "platform/PlistXmlReader.h"
#include "platform/PlistXmlWriter.h"

namespace vantle::plist {

namespace {

constexpr char kBinaryPrefix[] = "bplist";

} // namespace

ReadResult read(const QByteArray& bytes) {
    if (bytes.startsWith(kBinaryPrefix)) return readBinary(bytes);
    return readXml(bytes);
}

ReadResult readBinary(const QByteArray& bytes) {
    PlistBinaryReader reader(bytes);
    ReadResult result;
    result.format = Format::Binary;
    result.value = reader.read();
    result.error = reader.error();
    return result;
}

ReadResult readXml(const QByteArray& bytes) {
    PlistXmlReader reader(bytes);
    ReadResult result;
    result.format = Format::Xml;
    result.value = reader.read();
    result.error = reader.error();
    return result;
}

QByteArray writeBinary(const QVariant& value, QString* error) {
    return PlistBinaryWriter().write(value, error);
}

QByteArray writeXml(const QVariant& value, QString* error) {
    return PlistXmlWriter().write(value, error);
}

} // namespace vantle::plist
