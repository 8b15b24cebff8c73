#pragma once

#include <QString>
#include <cstdint>

namespace vantle::plist {

// Short ASCII strings decoded recently on this thread, handed out shared: protocol messages
// repeat the same keys and words, and sharing them saves an allocation and a free per string.
class PlistStringCache {
public:
    // The string of `count` ASCII bytes at `bytes`; `hit` tells whether it was shared.
    static QString ascii(const uint8_t* bytes, uint64_t count, bool* hit);
};

} // namespace vantle::plist
