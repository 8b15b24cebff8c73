#include "phone/PhoneReadThrottle.h"

#include <algorithm>
#include <limits>

namespace vantle::phone {
namespace {

constexpr int kRetryMs = 10;
constexpr double kMsPerSecond = 1000;
// Credit saved up while the PC is quiet: a pause must not buy a burst at full speed.
constexpr double kBurstMs = 100;

} // namespace

PhoneReadThrottle::PhoneReadThrottle(const PhoneOptions& options)
    : mStopAfter(options.stopReadingAfter), mBytesPerSecond(options.readBytesPerSecond) {
    mSince.start();
}

qint64 PhoneReadThrottle::allowance() {
    qint64 allowed = std::numeric_limits<qint64>::max();
    if (mStopAfter >= 0) allowed = std::max<qint64>(0, mStopAfter - mRead);
    // The rate counts from the connection's start, so pauses of the PC do not slow it further.
    if (mBytesPerSecond > 0) {
        const qint64 now = mSince.elapsed();
        const double rate = static_cast<double>(mBytesPerSecond) / kMsPerSecond; // per ms
        mCredit = std::min(std::max(rate * kBurstMs, 1.0),
                           mCredit + rate * static_cast<double>(now - mCreditedAt));
        mCreditedAt = now;
        allowed = std::min(allowed, static_cast<qint64>(mCredit));
    }
    return allowed;
}

void PhoneReadThrottle::consumed(qint64 bytes) {
    mRead += bytes;
    mCredit -= static_cast<double>(bytes);
}

int PhoneReadThrottle::retryMs() const {
    if (mStopAfter >= 0 && mRead >= mStopAfter) return -1;
    return kRetryMs;
}

} // namespace vantle::phone
