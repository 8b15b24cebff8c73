#include "platform/Plist.h"

#include "platform/PlistBinaryReader.h"
#include "platform/PlistBinaryWriter.h"
#include "platform/PlistXmlReader.h"
#include "platform/PlistXmlWriter.h"

#include <algorithm>

namespace vantle::plist {

namespace {

constexpr char kBinaryPrefix[] = "bplist";
// Shared references may repeat values, but never by more than this per input byte.
constexpr std::uint64_t kValuesPerInputByte = 32;
constexpr std::uint64_t kValuesAllowance = 1 << 16;

template <typename Reader>
Result<QVariant> readWith(const QByteArray& bytes, const ReadLimits& limits) {
    Reader reader(bytes, valueBudget(bytes.size(), limits));
    QVariant value = reader.read();
    if (!reader.error().isEmpty()) return Error{reader.error()};
    return value;
}

} // namespace

std::uint64_t valueBudget(qsizetype inputSize, const ReadLimits& limits) {
    constexpr std::uint64_t kLargestScaled =
        (std::numeric_limits<std::uint64_t>::max() - kValuesAllowance) / kValuesPerInputByte;
    const auto size = static_cast<std::uint64_t>(std::max<qsizetype>(inputSize, 0));
    const std::uint64_t general = size > kLargestScaled
                                      ? std::numeric_limits<std::uint64_t>::max()
                                      : size * kValuesPerInputByte + kValuesAllowance;
    return std::min(general, limits.maxValues);
}

Result<Document> read(const QByteArray& bytes, const ReadLimits& limits) {
    const Format format = bytes.startsWith(kBinaryPrefix) ? Format::Binary : Format::Xml;
    Result<QVariant> value =
        format == Format::Binary ? readBinary(bytes, limits) : readXml(bytes, limits);
    if (!value) return Error{value.error()};
    return Document{std::move(*value), format};
}

Result<QVariant> readBinary(const QByteArray& bytes, const ReadLimits& limits) {
    return readWith<PlistBinaryReader>(bytes, limits);
}

Result<QVariant> readXml(const QByteArray& bytes, const ReadLimits& limits) {
    return readWith<PlistXmlReader>(bytes, limits);
}

QByteArray writeBinary(const QVariant& value, QString* error) {
    return PlistBinaryWriter().write(value, error);
}

QByteArray writeXml(const QVariant& value, QString* error) {
    return PlistXmlWriter().write(value, error);
}

} // namespace vantle::plist
