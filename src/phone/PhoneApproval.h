#pragma once

#include "phone/PhoneOptions.h"

namespace vantle::phone {

// Decides, PC after PC, the verdict that follows each handshake.
class PhoneApproval {
public:
    enum class Verdict { Allow, Deny, Silent };

    explicit PhoneApproval(Approval mode) : mMode(mode) {}

    // The verdict for the next PC that shakes hands; each call counts one PC.
    Verdict nextVerdict();

private:
    Approval mMode;
    int mAsked = 0;
};

} // namespace vantle::phone
