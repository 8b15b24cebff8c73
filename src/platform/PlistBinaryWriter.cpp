#include "platform/PlistBinaryWriter.h"

#include "platform/PlistBinaryFormat.h"
#include "platform/PlistTables.h"

#include <QHashFunctions>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <limits>

namespace vantle::plist {

using namespace binary;

namespace {

constexpr uint64_t kSmallCountLimit = 15;
constexpr uint8_t kInt128Marker = makeMarker(kInteger, kInt128Exponent);
constexpr int kInt128Width = 16;
constexpr uint16_t kAsciiLimit = 0x80;
constexpr size_t kMinSharedSlots = 16;
constexpr uint32_t kMaxObjects = std::numeric_limits<uint32_t>::max() - 1;
constexpr size_t kIntegerHashSeed = 0x9E3779B97F4A7C15ull;

PlistBinaryWriter::Tables& threadTables() {
    thread_local PlistBinaryWriter::Tables tables;
    return tables;
}

// Values in the tree, dictionary keys included, and references to them. Sizes the tables up
// front: growing them while flattening costs more than this walk.
void countTree(const QVariant& value, int depth, uint64_t* values, uint64_t* refs) {
    ++*values;
    if (depth > kMaxDepth) return;
    if (value.typeId() == QMetaType::QVariantList) {
        const auto& list = *static_cast<const QVariantList*>(value.constData());
        *refs += uint64_t(list.size());
        for (const QVariant& item : list)
            countTree(item, depth + 1, values, refs);
    } else if (value.typeId() == QMetaType::QVariantMap) {
        const auto& map = *static_cast<const QVariantMap*>(value.constData());
        *refs += 2 * uint64_t(map.size());
        *values += uint64_t(map.size());
        for (auto i = map.cbegin(); i != map.cend(); ++i)
            countTree(i.value(), depth + 1, values, refs);
    }
}

size_t slotsFor(uint64_t values) {
    size_t count = kMinSharedSlots;
    while (count < 2 * values)
        count *= 2;
    return count;
}

uint64_t itemCount(const PlistBinaryWriter::Object& object) {
    switch (object.kind) {
    case ValueKind::String:
        return uint64_t(static_cast<const QString*>(object.item)->size());
    case ValueKind::Data:
        return uint64_t(static_cast<const QByteArray*>(object.item)->size());
    case ValueKind::Array:
        return uint64_t(static_cast<const QVariantList*>(object.item)->size());
    case ValueKind::Dictionary:
        return uint64_t(static_cast<const QVariantMap*>(object.item)->size());
    default:
        return 0;
    }
}

// Bytes needed to hold `value` (1..8).
int widthFor(uint64_t value) {
    int width = 1;
    while (width < kMaxIntWidth && (value >> (kBitsPerByte * width)) != 0)
        ++width;
    return width;
}

// Exponent of the smallest 1/2/4/8-byte integer object that holds `value`.
uint8_t intExponentFor(uint64_t value) {
    if (value <= std::numeric_limits<uint8_t>::max()) return 0;
    if (value <= std::numeric_limits<uint16_t>::max()) return 1;
    if (value <= std::numeric_limits<uint32_t>::max()) return 2;
    return kInt64Exponent;
}

uint64_t headerBytes(uint64_t count) {
    return count < kSmallCountLimit ? 1 : 2 + (uint64_t(1) << intExponentFor(count));
}

char* putUInt(char* out, uint64_t value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[i] = char(uint8_t(value));
        value >>= kBitsPerByte;
    }
    return out + width;
}

char* putInt(char* out, uint64_t value, uint8_t exponent) {
    *out++ = char(makeMarker(kInteger, exponent));
    return putUInt(out, value, 1 << exponent);
}

char* putHeader(char* out, uint8_t kind, uint64_t count) {
    if (count < kSmallCountLimit) {
        *out++ = char(makeMarker(kind, uint8_t(count)));
        return out;
    }
    *out++ = char(makeMarker(kind, kCountFollows));
    return putInt(out, count, intExponentFor(count));
}

} // namespace

PlistBinaryWriter::PlistBinaryWriter() : mTables(threadTables()) {}

PlistBinaryWriter::~PlistBinaryWriter() {
    recycleTable(mTables.objects);
    recycleTable(mTables.refs);
    recycleTable(mTables.shared);
}

QByteArray PlistBinaryWriter::write(const QVariant& value, QString* error) {
    uint64_t values = 0;
    uint64_t refs = 0;
    countTree(value, 0, &values, &refs);
    if (values > kMaxObjects || refs > kMaxObjects) {
        if (error) *error = QStringLiteral("too many values for one property list");
        return {};
    }
    mTables.objects.reserve(values);
    mTables.refs.reserve(refs);
    mTables.shared.assign(slotsFor(values), 0);
    uint32_t top = 0;
    if (!flatten(value, 0, &top)) {
        if (error) *error = mError;
        return {};
    }
    const std::vector<Object>& objects = mTables.objects;
    const uint64_t objectCount = objects.size();
    mRefSize = widthFor(objectCount);
    const uint64_t tableOffset =
        kMagicSize + mPayloadBytes + mTables.refs.size() * uint64_t(mRefSize);
    const int offsetSize = widthFor(tableOffset);
    const uint64_t total = tableOffset + objectCount * uint64_t(offsetSize) + kTrailerSize;

    QByteArray bytes(qsizetype(total), Qt::Uninitialized);
    char* const begin = bytes.data();
    char* out = begin;
    std::memcpy(out, kMagic, kMagicSize);
    out += kMagicSize;
    char* table = begin + tableOffset;
    for (const Object& object : objects) {
        table = putUInt(table, uint64_t(out - begin), offsetSize);
        out = writeObject(out, object);
    }
    Q_ASSERT(out == begin + tableOffset);
    std::memset(table, 0, kTrailerOffsetSizeAt);
    table[kTrailerOffsetSizeAt] = char(offsetSize);
    table[kTrailerRefSizeAt] = char(mRefSize);
    putUInt(table + kTrailerObjectCountAt, objectCount, kMaxIntWidth);
    putUInt(table + kTrailerTopObjectAt, top, kMaxIntWidth);
    putUInt(table + kTrailerTableOffsetAt, tableOffset, kMaxIntWidth);
    return bytes;
}

bool PlistBinaryWriter::add(const Object& object, uint64_t payloadBytes, uint32_t* index) {
    if (mTables.objects.size() >= kMaxObjects) {
        mError = QStringLiteral("too many values for one property list");
        return false;
    }
    mTables.objects.push_back(object);
    mPayloadBytes += payloadBytes;
    *index = uint32_t(mTables.objects.size() - 1);
    return true;
}

// The slot that holds an equal string or integer, or the empty slot where it belongs.
uint32_t* PlistBinaryWriter::sharedSlot(size_t hash, const Object& probe) {
    std::vector<uint32_t>& table = mTables.shared;
    const size_t mask = table.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        uint32_t& slot = table[i];
        if (slot == 0) return &slot;
        const Object& other = mTables.objects[slot - 1];
        if (other.kind != probe.kind) continue;
        if (probe.kind == ValueKind::Integer ? other.integer == probe.integer
                                             : *static_cast<const QString*>(other.item) ==
                                                   *static_cast<const QString*>(probe.item))
            return &slot;
    }
}

bool PlistBinaryWriter::flattenString(const QString& text, uint32_t* index) {
    Object object{};
    object.item = &text;
    object.kind = ValueKind::String;
    uint32_t* slot = sharedSlot(qHash(QStringView(text)), object);
    if (*slot != 0) {
        *index = *slot - 1;
        return true;
    }
    const char16_t* units = reinterpret_cast<const char16_t*>(text.constData());
    object.ascii =
        std::all_of(units, units + text.size(), [](char16_t c) { return c < kAsciiLimit; });
    if (!object.ascii && !isWellFormed(text)) {
        mError = QStringLiteral("a string holds a lone UTF-16 surrogate");
        return false;
    }
    const uint64_t count = uint64_t(text.size());
    if (!add(object, headerBytes(count) + count * (object.ascii ? 1 : 2), index)) return false;
    *slot = *index + 1;
    return true;
}

bool PlistBinaryWriter::flattenInteger(qint64 number, uint32_t* index) {
    Object object{};
    object.integer = number;
    object.kind = ValueKind::Integer;
    uint32_t* slot = sharedSlot(qHash(number) ^ kIntegerHashSeed, object);
    if (*slot != 0) {
        *index = *slot - 1;
        return true;
    }
    const uint8_t exponent = number < 0 ? kInt64Exponent : intExponentFor(uint64_t(number));
    if (!add(object, 1 + (uint64_t(1) << exponent), index)) return false;
    *slot = *index + 1;
    return true;
}

bool PlistBinaryWriter::flatten(const QVariant& value, int depth, uint32_t* index) {
    const ValueKind kind = kindOf(value);
    Object object{};
    object.kind = kind;
    switch (kind) {
    case ValueKind::String:
        return flattenString(*static_cast<const QString*>(value.constData()), index);
    case ValueKind::Integer:
        return flattenInteger(signedValue(value), index);
    case ValueKind::UnsignedInteger:
        object.unsignedInteger = unsignedValue(value);
        return add(object, 1 + kInt128Width, index);
    case ValueKind::Bool: {
        uint32_t& slot = mBools[value.toBool() ? 1 : 0];
        object.integer = value.toBool() ? 1 : 0;
        if (slot == 0) {
            if (!add(object, 1, index)) return false;
            slot = *index + 1;
        }
        *index = slot - 1;
        return true;
    }
    case ValueKind::Real:
        object.real = value.toDouble();
        return add(object, 1 + sizeof(double), index);
    case ValueKind::Date:
        object.real = referenceSecondsFromDate(value.toDateTime());
        return add(object, 1 + sizeof(double), index);
    case ValueKind::Data: {
        object.item = value.constData();
        const uint64_t count = itemCount(object);
        return add(object, headerBytes(count) + count, index);
    }
    case ValueKind::Array:
    case ValueKind::Dictionary:
        return flattenContainer(value, kind, depth, index);
    case ValueKind::Unsupported:
        break;
    }
    mError = unsupportedMessage(value);
    return false;
}

bool PlistBinaryWriter::flattenContainer(const QVariant& value, ValueKind kind, int depth,
                                         uint32_t* index) {
    if (depth >= kMaxDepth) {
        mError = QStringLiteral("nested deeper than %1 levels").arg(kMaxDepth);
        return false;
    }
    Object object{};
    object.kind = kind;
    object.item = value.constData();
    const uint64_t count = itemCount(object);
    const bool isDictionary = kind == ValueKind::Dictionary;
    std::vector<uint32_t>& refs = mTables.refs;
    object.refStart = uint32_t(refs.size());
    refs.resize(refs.size() + (isDictionary ? 2 : 1) * count);
    if (!add(object, headerBytes(count), index)) return false;
    uint32_t slot = object.refStart;
    uint32_t child = 0;
    if (isDictionary) {
        // Keys first, then values, as other writers order them.
        const auto& map = *static_cast<const QVariantMap*>(object.item);
        for (auto i = map.cbegin(); i != map.cend(); ++i) {
            if (!flattenString(i.key(), &child)) return false;
            refs[slot++] = child;
        }
        for (auto i = map.cbegin(); i != map.cend(); ++i) {
            if (!flatten(i.value(), depth + 1, &child)) return false;
            refs[slot++] = child;
        }
    } else {
        for (const QVariant& item : *static_cast<const QVariantList*>(object.item)) {
            if (!flatten(item, depth + 1, &child)) return false;
            refs[slot++] = child;
        }
    }
    return true;
}

char* PlistBinaryWriter::writeObject(char* out, const Object& object) const {
    const uint64_t count = itemCount(object);
    switch (object.kind) {
    case ValueKind::String: {
        const char16_t* units = reinterpret_cast<const char16_t*>(
            static_cast<const QString*>(object.item)->constData());
        if (object.ascii) {
            out = putHeader(out, kAsciiString, count);
            for (uint64_t i = 0; i < count; ++i)
                *out++ = char(units[i]);
            return out;
        }
        out = putHeader(out, kUtf16String, count);
        qToBigEndian<char16_t>(units, qsizetype(count), out);
        return out + 2 * count;
    }
    case ValueKind::Integer:
        return putInt(out, uint64_t(object.integer),
                      object.integer < 0 ? kInt64Exponent
                                         : intExponentFor(uint64_t(object.integer)));
    case ValueKind::UnsignedInteger:
        *out++ = char(kInt128Marker);
        std::memset(out, 0, kInt128Width / 2);
        return putUInt(out + kInt128Width / 2, object.unsignedInteger, kInt128Width / 2);
    case ValueKind::Bool:
        *out++ = char(object.integer ? kTrue : kFalse);
        return out;
    case ValueKind::Real:
    case ValueKind::Date:
        *out++ = char(object.kind == ValueKind::Date ? kDateMarker : kDoubleMarker);
        qToBigEndian<double>(object.real, out);
        return out + sizeof(double);
    case ValueKind::Data:
        out = putHeader(out, kData, count);
        std::memcpy(out, static_cast<const QByteArray*>(object.item)->constData(), count);
        return out + count;
    case ValueKind::Array:
    case ValueKind::Dictionary: {
        const bool isDictionary = object.kind == ValueKind::Dictionary;
        out = putHeader(out, isDictionary ? kDictionary : kArray, count);
        const uint64_t refs = isDictionary ? 2 * count : count;
        for (uint64_t i = 0; i < refs; ++i)
            out = putUInt(out, mTables.refs[object.refStart + i], mRefSize);
        return out;
    }
    case ValueKind::Unsupported:
        break;
    }
    return out;
}

} // namespace vantle::plist
