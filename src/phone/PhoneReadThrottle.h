#pragma once

#include "phone/PhoneOptions.h"

#include <QElapsedTimer>

namespace vantle::phone {

// How much of a PC's bytes the phone may read now: everything, none after a set total, or a
// set rate.
class PhoneReadThrottle {
public:
    explicit PhoneReadThrottle(const PhoneOptions& options);

    // Whether reading is held back at all (then the socket should buffer little).
    bool limits() const { return mStopAfter >= 0 || mBytesPerSecond > 0; }
    // Bytes that may be read now.
    qint64 allowance();
    void consumed(qint64 bytes);
    // When to try again after the allowance ran out; negative: never.
    int retryMs() const;

private:
    qint64 mStopAfter;
    qint64 mBytesPerSecond;
    qint64 mRead = 0;
    double mCredit = 0; // bytes the rate allows now
    qint64 mCreditedAt = 0;
    QElapsedTimer mSince;
};

} // namespace vantle::phone
