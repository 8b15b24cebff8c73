#include "platform/PlistStringCache.h"

#include <array>

namespace vantle::plist {

namespace {

constexpr uint64_t kLongestCached = 32;
constexpr size_t kSlots = 256; // direct-mapped: a newer string takes its slot over
constexpr uint32_t kFnvOffset = 2166136261u;
constexpr uint32_t kFnvPrime = 16777619u;

// Cheaper than a general hash for the few bytes of a key.
uint32_t fnv1a(const uint8_t* bytes, uint64_t count) {
    uint32_t hash = kFnvOffset;
    for (uint64_t i = 0; i < count; ++i)
        hash = (hash ^ bytes[i]) * kFnvPrime;
    return hash;
}

bool sameText(const QString& text, const uint8_t* bytes, uint64_t count) {
    if (text.size() != qsizetype(count)) return false;
    const char16_t* units = reinterpret_cast<const char16_t*>(text.constData());
    for (uint64_t i = 0; i < count; ++i)
        if (units[i] != bytes[i]) return false;
    return true;
}

} // namespace

QVariant PlistStringCache::ascii(const uint8_t* bytes, uint64_t count) {
    const char* text = reinterpret_cast<const char*>(bytes);
    if (count > kLongestCached) return QVariant(QString::fromLatin1(text, qsizetype(count)));
    thread_local std::array<QVariant, kSlots> recent;
    QVariant& slot = recent[fnv1a(bytes, count) % kSlots];
    if (slot.typeId() != QMetaType::QString ||
        !sameText(*static_cast<const QString*>(slot.constData()), bytes, count))
        slot = QVariant(QString::fromLatin1(text, qsizetype(count)));
    return slot;
}

} // namespace vantle::plist
