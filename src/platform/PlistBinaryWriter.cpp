#include "platform/PlistBinaryWriter.h"

#include "platform/PlistBinaryFormat.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace vantle::plist {

using namespace binary;

namespace {

constexpr uint64_t kSmallCountLimit = 15;
constexpr uint8_t kInt128Marker = (kInteger << 4) | kInt128Exponent;
constexpr uint8_t kInt64Marker = (kInteger << 4) | kInt64Exponent;
constexpr int kInt128Width = 16;
constexpr uint16_t kAsciiLimit = 0x80;

// Bytes needed to hold `value` (1..8).
int widthFor(uint64_t value) {
    int width = 1;
    while (width < kMaxIntWidth && (value >> (8 * width)) != 0)
        ++width;
    return width;
}

// Exponent of the smallest 1/2/4/8-byte integer object that holds `value`.
uint8_t intExponentFor(uint64_t value) {
    if (value <= 0xFF) return 0;
    if (value <= 0xFFFF) return 1;
    if (value <= 0xFFFFFFFF) return 2;
    return kInt64Exponent;
}

uint64_t headerBytes(uint64_t count) {
    return count < kSmallCountLimit ? 1 : 2 + (uint64_t(1) << intExponentFor(count));
}

char* putUInt(char* out, uint64_t value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[i] = char(value & 0xFF);
        value >>= 8;
    }
    return out + width;
}

char* putInt(char* out, uint64_t value, uint8_t exponent) {
    *out++ = char((kInteger << 4) | exponent);
    return putUInt(out, value, 1 << exponent);
}

char* putHeader(char* out, uint8_t kind, uint64_t count) {
    if (count < kSmallCountLimit) {
        *out++ = char((kind << 4) | count);
        return out;
    }
    *out++ = char((kind << 4) | kCountFollows);
    return putInt(out, count, intExponentFor(count));
}

} // namespace

QByteArray PlistBinaryWriter::write(const QVariant& value, QString* error) {
    uint64_t top = 0;
    if (!flatten(value, 0, &top)) {
        if (error) *error = mError;
        return {};
    }
    const uint64_t objectCount = mObjects.size();
    mRefSize = widthFor(objectCount);
    const uint64_t tableOffset = kMagicSize + mPayloadBytes + mRefs.size() * uint64_t(mRefSize);
    const int offsetSize = widthFor(tableOffset);
    const uint64_t total = tableOffset + objectCount * uint64_t(offsetSize) + kTrailerSize;

    QByteArray bytes(qsizetype(total), Qt::Uninitialized);
    char* const begin = bytes.data();
    char* out = begin;
    std::memcpy(out, kMagic, kMagicSize);
    out += kMagicSize;
    char* table = begin + tableOffset;
    for (const Object& object : mObjects) {
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

uint64_t PlistBinaryWriter::add(const Object& object, uint64_t payloadBytes) {
    mObjects.push_back(object);
    mPayloadBytes += payloadBytes;
    return mObjects.size() - 1;
}

bool PlistBinaryWriter::flatten(const QVariant& value, int depth, uint64_t* index) {
    const ValueKind kind = kindOf(value);
    Object object{&value, kind, false, 0, 0};
    switch (kind) {
    case ValueKind::String: {
        const QString& text = *static_cast<const QString*>(value.constData());
        if (auto found = mStrings.constFind(text); found != mStrings.cend()) {
            *index = *found;
            return true;
        }
        const char16_t* units = reinterpret_cast<const char16_t*>(text.constData());
        object.ascii =
            std::all_of(units, units + text.size(), [](char16_t c) { return c < kAsciiLimit; });
        if (!object.ascii && !isWellFormed(text)) {
            mError = QStringLiteral("a string holds a lone UTF-16 surrogate");
            return false;
        }
        object.count = uint64_t(text.size());
        *index = add(object, headerBytes(object.count) + object.count * (object.ascii ? 1 : 2));
        mStrings.insert(text, *index);
        return true;
    }
    case ValueKind::Integer: {
        const qint64 number = signedValue(value);
        if (auto found = mIntegers.constFind(number); found != mIntegers.cend()) {
            *index = *found;
            return true;
        }
        const uint8_t exponent = number < 0 ? kInt64Exponent : intExponentFor(uint64_t(number));
        *index = add(object, 1 + (uint64_t(1) << exponent));
        mIntegers.insert(number, *index);
        return true;
    }
    case ValueKind::UnsignedInteger:
        *index = add(object, 1 + kInt128Width);
        return true;
    case ValueKind::Bool: {
        uint64_t& slot = mBools[value.toBool() ? 1 : 0];
        if (slot == UINT64_MAX) slot = add(object, 1);
        *index = slot;
        return true;
    }
    case ValueKind::Real:
    case ValueKind::Date:
        *index = add(object, 1 + sizeof(double));
        return true;
    case ValueKind::Data:
        object.count = uint64_t(static_cast<const QByteArray*>(value.constData())->size());
        *index = add(object, headerBytes(object.count) + object.count);
        return true;
    case ValueKind::Array:
    case ValueKind::Dictionary:
        break;
    case ValueKind::Unsupported:
        mError = unsupportedMessage(value);
        return false;
    }

    if (depth >= kMaxDepth) {
        mError = QStringLiteral("nested deeper than %1 levels").arg(kMaxDepth);
        return false;
    }
    const bool isDictionary = kind == ValueKind::Dictionary;
    const QVariantMap* map =
        isDictionary ? static_cast<const QVariantMap*>(value.constData()) : nullptr;
    const QVariantList* list =
        isDictionary ? nullptr : static_cast<const QVariantList*>(value.constData());
    object.count = uint64_t(isDictionary ? map->size() : list->size());
    object.refStart = mRefs.size();
    mRefs.resize(mRefs.size() + (isDictionary ? 2 : 1) * object.count);
    *index = add(object, headerBytes(object.count));
    uint64_t slot = object.refStart;
    if (isDictionary) {
        // Keys first, then values; the keys are QStrings that live in the map itself.
        for (auto i = map->cbegin(); i != map->cend(); ++i) {
            if (const auto found = mStrings.constFind(i.key()); found != mStrings.cend()) {
                mRefs[slot++] = *found;
                continue;
            }
            uint64_t child = 0;
            if (!flatten(mKeys.emplace_back(i.key()), depth + 1, &child)) return false;
            mRefs[slot++] = child;
        }
        for (auto i = map->cbegin(); i != map->cend(); ++i) {
            uint64_t child = 0;
            if (!flatten(i.value(), depth + 1, &child)) return false;
            mRefs[slot++] = child;
        }
    } else {
        for (const QVariant& item : *list) {
            uint64_t child = 0;
            if (!flatten(item, depth + 1, &child)) return false;
            mRefs[slot++] = child;
        }
    }
    return true;
}

char* PlistBinaryWriter::writeRefs(char* out, uint64_t start, uint64_t count) const {
    for (uint64_t i = 0; i < count; ++i)
        out = putUInt(out, mRefs[start + i], mRefSize);
    return out;
}

char* PlistBinaryWriter::writeObject(char* out, const Object& object) const {
    const QVariant& value = *object.value;
    switch (object.kind) {
    case ValueKind::String: {
        const QString& text = *static_cast<const QString*>(value.constData());
        const char16_t* units = reinterpret_cast<const char16_t*>(text.constData());
        if (object.ascii) {
            out = putHeader(out, kAsciiString, object.count);
            for (uint64_t i = 0; i < object.count; ++i)
                *out++ = char(units[i]);
            return out;
        }
        out = putHeader(out, kUtf16String, object.count);
        qToBigEndian<char16_t>(units, qsizetype(object.count), out);
        return out + 2 * object.count;
    }
    case ValueKind::Integer: {
        const qint64 number = signedValue(value);
        return putInt(out, uint64_t(number),
                      number < 0 ? kInt64Exponent : intExponentFor(uint64_t(number)));
    }
    case ValueKind::UnsignedInteger:
        *out++ = char(kInt128Marker);
        std::memset(out, 0, kInt128Width / 2);
        return putUInt(out + kInt128Width / 2, unsignedValue(value), kInt128Width / 2);
    case ValueKind::Bool:
        *out++ = char(value.toBool() ? kTrue : kFalse);
        return out;
    case ValueKind::Real:
        *out++ = char(kDoubleMarker);
        qToBigEndian<double>(value.toDouble(), out);
        return out + sizeof(double);
    case ValueKind::Date:
        *out++ = char(kDateMarker);
        qToBigEndian<double>(referenceSecondsFromDate(value.toDateTime()), out);
        return out + sizeof(double);
    case ValueKind::Data: {
        out = putHeader(out, kData, object.count);
        std::memcpy(out, static_cast<const QByteArray*>(value.constData())->constData(),
                    object.count);
        return out + object.count;
    }
    case ValueKind::Array:
        out = putHeader(out, kArray, object.count);
        return writeRefs(out, object.refStart, object.count);
    case ValueKind::Dictionary:
        out = putHeader(out, kDictionary, object.count);
        return writeRefs(out, object.refStart, 2 * object.count);
    case ValueKind::Unsupported:
        break;
    }
    return out;
}

} // namespace vantle::plist
