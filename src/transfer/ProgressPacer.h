// Progress of a fast transfer goes to the main thread a few times a second, not once a piece.
#pragma once

#include <chrono>

namespace vantle {

// How often a transfer's progress may go out.
inline constexpr std::chrono::milliseconds kProgressInterval{100};

// Used by one thread at a time.
class ProgressPacer {
public:
    // Whether a progress note should go out now; `always` for one that must not be dropped (the
    // last piece, a failure).
    bool due(bool always) {
        const auto now = std::chrono::steady_clock::now();
        if (!always && now - mLast < kProgressInterval) return false;
        mLast = now;
        return true;
    }

private:
    std::chrono::steady_clock::time_point mLast{};
};

} // namespace vantle
