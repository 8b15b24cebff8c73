#pragma once

#include <cstdint>

// The "bplist00" layout: object markers and the trailer, shared by reader and writer.
namespace vantle::plist::binary {

inline constexpr char kMagic[] = "bplist00";
inline constexpr int kMagicSize = 8;
inline constexpr int kTrailerSize = 32;
// Trailer fields, counted from the start of the trailer.
inline constexpr int kTrailerOffsetSizeAt = 6;
inline constexpr int kTrailerRefSizeAt = 7;
inline constexpr int kTrailerObjectCountAt = 8;
inline constexpr int kTrailerTopObjectAt = 16;
inline constexpr int kTrailerTableOffsetAt = 24;
inline constexpr int kMaxIntWidth = 8;
inline constexpr int kBitsPerByte = 8;

// High nibble of an object marker.
enum Marker : uint8_t {
    kSingleton = 0x0,
    kInteger = 0x1,
    kReal = 0x2,
    kDate = 0x3,
    kData = 0x4,
    kAsciiString = 0x5,
    kUtf16String = 0x6,
    kUid = 0x8,
    kArray = 0xA,
    kSet = 0xC,
    kDictionary = 0xD,
};

inline constexpr uint8_t kFalse = 0x08;
inline constexpr uint8_t kTrue = 0x09;
inline constexpr uint8_t kDateMarker = 0x33;
inline constexpr uint8_t kDoubleMarker = 0x23;
inline constexpr uint8_t kFloatMarker = 0x22;
// Low nibble that says "the count follows as an integer object".
inline constexpr uint8_t kCountFollows = 0xF;
// Integer and real width exponents: 2^n bytes.
inline constexpr uint8_t kFloatExponent = 2;
inline constexpr uint8_t kInt64Exponent = 3;
inline constexpr uint8_t kDoubleExponent = 3;
inline constexpr uint8_t kInt128Exponent = 4;

// A marker is a kind in the high nibble and a count or width in the low one.
constexpr uint8_t markerKind(uint8_t marker) {
    return marker >> 4;
}
constexpr uint8_t markerLow(uint8_t marker) {
    return marker & 0xF;
}
constexpr uint8_t makeMarker(uint8_t kind, uint8_t low) {
    return uint8_t(kind << 4 | low);
}

} // namespace vantle::plist::binary
