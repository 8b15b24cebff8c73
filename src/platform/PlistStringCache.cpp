#include "platform/PlistStringCache.h"

#include <array>
#include <cstring>

namespace vantle::plist {

namespace {

constexpr uint64_t kLongestCached = 32;
constexpr size_t kSlots = 256; // direct-mapped: a newer string takes its slot over
constexpr uint64_t kMixPrime = 0x9E3779B97F4A7C15ull;
constexpr int kMixShift = 29;

struct Slot {
    uint64_t length = 0;
    char bytes[kLongestCached] = {};
    QString text;
};

// The length and the first and last (up to) eight bytes: enough to tell keys apart, and cheaper
// than a general hash.
uint64_t hashBytes(const char* bytes, uint64_t count) {
    uint64_t head = 0;
    uint64_t tail = 0;
    if (count >= sizeof(uint64_t)) {
        std::memcpy(&head, bytes, sizeof head);
        std::memcpy(&tail, bytes + count - sizeof tail, sizeof tail);
    } else {
        std::memcpy(&head, bytes, count);
    }
    uint64_t hash = (head ^ count) * kMixPrime;
    hash = (hash ^ (hash >> kMixShift) ^ tail) * kMixPrime;
    return hash ^ (hash >> kMixShift);
}

} // namespace

QString PlistStringCache::ascii(const uint8_t* bytes, uint64_t count, bool* hit) {
    const char* text = reinterpret_cast<const char*>(bytes);
    *hit = false;
    if (count > kLongestCached) return QString::fromLatin1(text, qsizetype(count));
    thread_local std::array<Slot, kSlots> recent;
    Slot& slot = recent[hashBytes(text, count) % kSlots];
    *hit = slot.length == count && !slot.text.isNull() && std::memcmp(slot.bytes, text, count) == 0;
    if (!*hit) {
        slot.length = count;
        std::memcpy(slot.bytes, text, count);
        slot.text = QString::fromLatin1(text, qsizetype(count));
    }
    return slot.text;
}

} // namespace vantle::plist
