#include "phone/PhoneApproval.h"

namespace vantle::phone {

PhoneApproval::Verdict PhoneApproval::nextVerdict() {
    const bool first = mAsked++ == 0;
    switch (mMode) {
    case Approval::Allow:
        return Verdict::Allow;
    case Approval::Deny:
        return Verdict::Deny;
    case Approval::DenyFirst:
        return first ? Verdict::Deny : Verdict::Allow;
    case Approval::Silent:
        return Verdict::Silent;
    }
    return Verdict::Allow;
}

} // namespace vantle::phone
