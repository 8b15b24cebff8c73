#include "platform/PlistBinaryReader.h"

#include "platform/PlistBinaryFormat.h"
#include "platform/PlistStringCache.h"
#include "platform/PlistTables.h"
#include "platform/PlistValue.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <limits>
#include <map>

namespace vantle::plist {

using namespace binary;

namespace {

constexpr uint64_t kMaxTreeValues = std::numeric_limits<uint32_t>::max() - 1;
constexpr uint64_t kInt128HalfWidth = 8;
constexpr uint8_t kAsciiLimit = 0x80;
// Offsets into files of 64 KiB to 16 MiB take three bytes, so they get their own case.
constexpr int kThreeByteWidth = 3;
// Strings looked up before the cache may be judged useless for a file.
constexpr uint64_t kStringCacheTrial = 32;

PlistBinaryReader::Tables& threadTables() {
    thread_local PlistBinaryReader::Tables tables;
    return tables;
}

bool isAscii(const uint8_t* s, uint64_t count) {
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    uint64_t i = 0;
    for (; i + sizeof(uint64_t) <= count; i += sizeof(uint64_t)) {
        uint64_t word;
        std::memcpy(&word, s + i, sizeof word);
        if (word & kHighBits) return false;
    }
    for (; i < count; ++i)
        if (s[i] >= kAsciiLimit) return false;
    return true;
}

uint64_t saturatingAdd(uint64_t a, uint64_t b) {
    return a > std::numeric_limits<uint64_t>::max() - b ? std::numeric_limits<uint64_t>::max()
                                                        : a + b;
}

} // namespace

PlistBinaryReader::PlistBinaryReader(const QByteArray& bytes, uint64_t maxValues)
    : mBytes(bytes), mData(reinterpret_cast<const uint8_t*>(bytes.constData())),
      mMaxTreeSize(std::min(maxValues, kMaxTreeValues)), mTables(threadTables()),
      mKept(mTables.kept), mInfo(mTables.info) {}

PlistBinaryReader::~PlistBinaryReader() {
    recycleTable(mKept);
    recycleTable(mInfo);
}

QVariant PlistBinaryReader::read() {
    if (!parseTrailer()) return {};
    mInfo.resize(mObjectCount);
    QVariant value;
    if (!decode(mTopObject, 0, &value)) return {};
    return value;
}

bool PlistBinaryReader::parseTrailer() {
    const uint64_t size = uint64_t(mBytes.size());
    if (size < uint64_t(kMagicSize + kTrailerSize) || std::memcmp(mData, kMagic, kMagicSize) != 0) {
        mError = QStringLiteral("not a binary property list (no \"bplist00\" header or trailer)");
        return false;
    }
    const uint64_t trailer = size - kTrailerSize;
    mObjectsEnd = trailer;
    mOffsetSize = mData[trailer + kTrailerOffsetSizeAt];
    mRefSize = mData[trailer + kTrailerRefSizeAt];
    mObjectCount = readUInt(trailer + kTrailerObjectCountAt, kMaxIntWidth);
    mTopObject = readUInt(trailer + kTrailerTopObjectAt, kMaxIntWidth);
    mTableOffset = readUInt(trailer + kTrailerTableOffsetAt, kMaxIntWidth);
    if (mOffsetSize < 1 || mOffsetSize > kMaxIntWidth || mRefSize < 1 || mRefSize > kMaxIntWidth) {
        mError = QStringLiteral("trailer: offset size %1 or reference size %2 not within 1..8")
                     .arg(mOffsetSize)
                     .arg(mRefSize);
        return false;
    }
    if (mObjectCount == 0 || mTopObject >= mObjectCount) {
        mError = QStringLiteral("trailer: top object %1 of %2 objects")
                     .arg(mTopObject)
                     .arg(mObjectCount);
        return false;
    }
    if (mTableOffset < uint64_t(kMagicSize) || mTableOffset > trailer ||
        !fits(mTableOffset, mObjectCount, uint64_t(mOffsetSize))) {
        mError = QStringLiteral("trailer: offset table of %1 entries at %2 does not fit the file")
                     .arg(mObjectCount)
                     .arg(mTableOffset);
        return false;
    }
    // Writers store each object once and refer to it at least once, so more objects than values
    // cannot make a tree within the budget; refusing them spares the working tables.
    if (mObjectCount > mMaxTreeSize) {
        mError = QStringLiteral("trailer: %1 objects, more than the limit of %2 values")
                     .arg(mObjectCount)
                     .arg(mMaxTreeSize);
        return false;
    }
    mValuesAllocated = 1;
    return true;
}

inline bool PlistBinaryReader::fits(uint64_t start, uint64_t count, uint64_t unit) const {
    uint64_t bytes = 0;
    return start <= mObjectsEnd && !__builtin_mul_overflow(count, unit, &bytes) &&
           bytes <= mObjectsEnd - start;
}

inline uint64_t PlistBinaryReader::readUInt(uint64_t at, int width) const {
    const uint8_t* p = mData + at;
    switch (width) {
    case 1:
        return *p;
    case sizeof(uint16_t):
        return qFromBigEndian<uint16_t>(p);
    case kThreeByteWidth:
        return uint64_t(*p) << (2 * kBitsPerByte) | qFromBigEndian<uint16_t>(p + 1);
    case sizeof(uint32_t):
        return qFromBigEndian<uint32_t>(p);
    case kMaxIntWidth:
        return qFromBigEndian<uint64_t>(p);
    default:
        break;
    }
    uint64_t value = 0;
    for (int i = 0; i < width; ++i)
        value = (value << kBitsPerByte) | mData[at + i];
    return value;
}

bool PlistBinaryReader::fail(uint64_t index, const QString& what) {
    mError = QStringLiteral("object %1: %2").arg(index).arg(what);
    return false;
}

// An object goes straight into its container. Only when a second reference reaches it is it
// decoded again and kept for all later ones: no object is decoded more than twice, and objects
// referenced once cost no table traffic.
bool PlistBinaryReader::decode(uint64_t index, int enclosing, QVariant* out) {
    ObjectInfo& info = mInfo[index];
    switch (info.state) {
    case State::Kept:
    case State::Done:
        if (enclosing + int(info.height) > kMaxDepth)
            return fail(index, QStringLiteral("nested deeper than %1 levels").arg(kMaxDepth));
        if (info.state == State::Kept) {
            *out = mKept[info.kept];
            return true;
        }
        break;
    case State::Decoding:
        return fail(index, QStringLiteral("refers to itself (a cycle)"));
    case State::Unvisited:
        break;
    }
    const State before = info.state;
    info.state = State::Decoding;
    const uint64_t offset = readUInt(mTableOffset + index * uint64_t(mOffsetSize), mOffsetSize);
    if (offset < uint64_t(kMagicSize) || offset >= mObjectsEnd)
        return fail(index, QStringLiteral("offset %1 out of range").arg(offset));
    if (!decodeObject(index, offset, enclosing, out)) return false;
    if (before == State::Done) {
        if (mKept.size() >= kMaxTreeValues)
            return fail(index, QStringLiteral("more than %1 shared values").arg(kMaxTreeValues));
        mInfo[index].kept = uint32_t(mKept.size());
        mKept.push_back(*out);
        mInfo[index].state = State::Kept;
    } else {
        mInfo[index].state = State::Done;
    }
    return true;
}

// Recent strings are shared while that pays: once most strings of a file turn out to be new,
// the rest of it bypasses the cache.
QString PlistBinaryReader::asciiString(const uint8_t* bytes, uint64_t count) {
    if (mStringMisses >= kStringCacheTrial && mStringHits < mStringMisses)
        return QString::fromLatin1(reinterpret_cast<const char*>(bytes), qsizetype(count));
    bool hit = false;
    QString text = PlistStringCache::ascii(bytes, count, &hit);
    ++(hit ? mStringHits : mStringMisses);
    return text;
}

// Keys are nearly always plain ASCII strings met for the first time or shared ones; those go
// straight into a QString. Anything else takes the general path, which also reports the faults.
bool PlistBinaryReader::decodeKey(uint64_t dictionary, uint64_t index, int enclosing,
                                  QString* key) {
    ObjectInfo& info = mInfo[index];
    if (info.state == State::Kept && enclosing + int(info.height) <= kMaxDepth &&
        mKept[info.kept].typeId() == QMetaType::QString) {
        *key = *static_cast<const QString*>(mKept[info.kept].constData());
        return true;
    }
    if (info.state == State::Unvisited) {
        const uint64_t offset = readUInt(mTableOffset + index * uint64_t(mOffsetSize), mOffsetSize);
        uint64_t count = 0;
        uint64_t start = 0;
        if (offset >= uint64_t(kMagicSize) && offset < mObjectsEnd &&
            markerKind(mData[offset]) == kAsciiString &&
            readCount(offset, markerLow(mData[offset]), &count, &start) && fits(start, count, 1) &&
            isAscii(mData + start, count)) {
            *key = asciiString(mData + start, count);
            info.treeSize = 1;
            info.state = State::Done;
            return true;
        }
    }
    QVariant value;
    if (!decode(index, enclosing, &value)) return false;
    if (value.typeId() != QMetaType::QString)
        return fail(dictionary, QStringLiteral("dictionary key is not a string"));
    *key = std::move(*static_cast<QString*>(value.data()));
    return true;
}

bool PlistBinaryReader::readCount(uint64_t offset, uint8_t lowNibble, uint64_t* count,
                                  uint64_t* payload) {
    if (lowNibble != kCountFollows) {
        *count = lowNibble;
        *payload = offset + 1;
        return true;
    }
    if (offset + 2 > mObjectsEnd) return false;
    const uint8_t marker = mData[offset + 1];
    const uint8_t exponent = markerLow(marker);
    if (markerKind(marker) != kInteger || exponent > kInt64Exponent) return false;
    const int width = 1 << exponent;
    if (!fits(offset + 2, uint64_t(width), 1)) return false;
    *count = readUInt(offset + 2, width);
    *payload = offset + 2 + uint64_t(width);
    return true;
}

bool PlistBinaryReader::decodeObject(uint64_t index, uint64_t offset, int enclosing,
                                     QVariant* result) {
    const uint8_t marker = mData[offset];
    const uint8_t kind = markerKind(marker);
    const uint8_t low = markerLow(marker);
    const uint64_t next = offset + 1;
    QVariant& out = *result;
    mInfo[index].treeSize = 1;
    switch (kind) {
    case kSingleton:
        if (marker != kFalse && marker != kTrue)
            return fail(index, QStringLiteral("marker 0x%1 is not a value")
                                   .arg(uint(marker), 2, 16, QLatin1Char('0')));
        out = QVariant(marker == kTrue);
        return true;
    case kInteger: {
        if (low > kInt128Exponent)
            return fail(index, QStringLiteral("integer wider than 16 bytes"));
        const uint64_t width = uint64_t(1) << low;
        if (!fits(next, width, 1))
            return fail(index, QStringLiteral("integer runs past the objects"));
        if (width == 2 * kInt128HalfWidth) {
            if (readUInt(next, kInt128HalfWidth) != 0)
                return fail(index, QStringLiteral("16-byte integer beyond 64 bits"));
            const uint64_t value = readUInt(next + kInt128HalfWidth, kInt128HalfWidth);
            out = value > uint64_t(std::numeric_limits<qint64>::max()) ? QVariant(quint64(value))
                                                                       : QVariant(qint64(value));
        } else {
            out = QVariant(qint64(readUInt(next, int(width))));
        }
        return true;
    }
    case kReal: {
        if (low != kFloatExponent && low != kDoubleExponent)
            return fail(index, QStringLiteral("real of %1 bytes").arg(1 << low));
        const int width = 1 << low;
        if (!fits(next, uint64_t(width), 1))
            return fail(index, QStringLiteral("real runs past the objects"));
        if (low == kDoubleExponent)
            out = QVariant(qFromBigEndian<double>(mData + next));
        else
            out = QVariant(double(qFromBigEndian<float>(mData + next)));
        return true;
    }
    case kDate: {
        if (marker != kDateMarker || !fits(next, sizeof(double), 1))
            return fail(index, QStringLiteral("malformed date"));
        const auto date = dateFromReferenceSeconds(qFromBigEndian<double>(mData + next));
        if (!date) return fail(index, QStringLiteral("date outside years 1..9999"));
        out = QVariant(*date);
        return true;
    }
    case kUid:
        return fail(index, QStringLiteral("UIDs (keyed archives) are not supported"));
    case kSet:
        return fail(index, QStringLiteral("sets are not supported"));
    case kData:
    case kAsciiString:
    case kUtf16String:
    case kArray:
    case kDictionary:
        break;
    default:
        return fail(
            index,
            QStringLiteral("unknown marker 0x%1").arg(uint(marker), 2, 16, QLatin1Char('0')));
    }

    uint64_t count = 0;
    uint64_t start = 0;
    if (!readCount(offset, low, &count, &start))
        return fail(index, QStringLiteral("malformed length"));
    const char* bytes = reinterpret_cast<const char*>(mData + start);
    switch (kind) {
    case kData:
        if (!fits(start, count, 1))
            return fail(index, QStringLiteral("data of %1 bytes runs past the objects").arg(count));
        out = QVariant(QByteArray(bytes, qsizetype(count)));
        return true;
    case kAsciiString: {
        if (!fits(start, count, 1))
            return fail(index, QStringLiteral("string runs past the objects"));
        if (!isAscii(mData + start, count))
            return fail(index, QStringLiteral("non-ASCII byte in an ASCII string"));
        out = QVariant(asciiString(mData + start, count));
        return true;
    }
    case kUtf16String: {
        if (!fits(start, count, 2))
            return fail(index, QStringLiteral("string runs past the objects"));
        QString text(qsizetype(count), Qt::Uninitialized);
        qFromBigEndian<char16_t>(mData + start, qsizetype(count), text.data());
        if (!isWellFormed(text))
            return fail(index, QStringLiteral("lone UTF-16 surrogate in a string"));
        out = QVariant(text);
        return true;
    }
    default:
        return decodeContainer(index, kind, start, count, enclosing, result);
    }
}

bool PlistBinaryReader::decodeContainer(uint64_t index, uint8_t kind, uint64_t start,
                                        uint64_t count, int enclosing, QVariant* result) {
    const bool isDictionary = kind == kDictionary;
    const uint64_t refs = isDictionary ? count * 2 : count;
    if ((isDictionary && count > std::numeric_limits<uint64_t>::max() / 2) ||
        !fits(start, refs, uint64_t(mRefSize)))
        return fail(index, QStringLiteral("%1 references run past the objects").arg(count));
    if (enclosing + 1 > kMaxDepth)
        return fail(index, QStringLiteral("nested deeper than %1 levels").arg(kMaxDepth));
    if (refs > mMaxTreeSize - mValuesAllocated)
        return fail(index, QStringLiteral("%1 more values would pass the limit of %2 values")
                               .arg(refs)
                               .arg(mMaxTreeSize));
    mValuesAllocated += refs;

    uint64_t treeSize = 1;
    int height = 0;
    auto reference = [&](uint64_t i, uint64_t* ref) {
        *ref = readUInt(start + i * uint64_t(mRefSize), mRefSize);
        if (*ref >= mObjectCount)
            return fail(index, QStringLiteral("reference %1 out of range").arg(*ref));
        return true;
    };
    auto counted = [&](uint64_t ref) {
        const ObjectInfo& info = mInfo[ref];
        height = std::max(height, int(info.height));
        treeSize = saturatingAdd(treeSize, info.treeSize);
        if (treeSize > mMaxTreeSize)
            return fail(index,
                        QStringLiteral("shared references build more than the limit of %1 values")
                            .arg(mMaxTreeSize));
        return true;
    };
    auto child = [&](uint64_t i, QVariant* value) {
        uint64_t ref = 0;
        return reference(i, &ref) && decode(ref, enclosing + 1, value) && counted(ref);
    };

    if (isDictionary) {
        std::map<QString, QVariant> map;
        QString key;
        QVariant value;
        for (uint64_t i = 0; i < count; ++i) {
            uint64_t ref = 0;
            if (!reference(i, &ref) || !decodeKey(index, ref, enclosing + 1, &key) || !counted(ref))
                return false;
            if (!child(count + i, &value)) return false;
            // Keys usually arrive sorted, which makes the hint exact.
            map.insert_or_assign(map.end(), std::move(key), std::move(value));
        }
        *result = QVariant(QVariantMap(std::move(map)));
    } else {
        QVariantList list;
        list.reserve(qsizetype(count));
        for (uint64_t i = 0; i < count; ++i) {
            if (!child(i, &list.emplace_back())) return false;
        }
        *result = QVariant(list);
    }
    mInfo[index].height = uint16_t(height + 1);
    mInfo[index].treeSize = uint32_t(treeSize);
    return true;
}

} // namespace vantle::plist
