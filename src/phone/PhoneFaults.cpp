#include "phone/PhoneFaults.h"

#include "transfer/ProtocolKeys.h"

#include <QtNumeric>
#include <algorithm>
#include <limits>

namespace vantle::phone {
namespace {

template <typename Rule>
std::optional<Rule> firstMatch(const std::vector<Rule>& rules, const QString& type, int nth,
                               int nthOfType) {
    const auto found = std::find_if(rules.begin(), rules.end(), [&](const Rule& rule) {
        return rule.which.matches(type, nth, nthOfType);
    });
    if (found == rules.end()) return std::nullopt;
    return *found;
}

} // namespace

bool RequestSelector::matches(const QString& requestType, int nthOverall, int nthOfType) const {
    if (type.isEmpty()) return ordinal == nthOverall;
    if (type != requestType) return false;
    return ordinal == 0 || ordinal == nthOfType;
}

void AnswerPlan::number(QVariantMap& response, const QVariant& requestNum) const {
    if (!numbering) {
        response.insert(keys::kResponseNum, requestNum);
        return;
    }
    switch (numbering->kind) {
    case ResponseNumFault::Kind::Shifted: {
        // The PC chooses its numbers: a shift past the integer range stops at its end.
        qint64 shifted = 0;
        if (qAddOverflow(requestNum.toLongLong(), numbering->shift, &shifted))
            shifted = numbering->shift > 0 ? std::numeric_limits<qint64>::max()
                                           : std::numeric_limits<qint64>::min();
        response.insert(keys::kResponseNum, shifted);
        return;
    }
    case ResponseNumFault::Kind::Missing:
        response.remove(keys::kResponseNum);
        return;
    }
}

AnswerPlan PhoneFaults::next(const QString& type) {
    const int nth = ++mCount;
    const int nthOfType = ++mCountOfType[type];
    AnswerPlan plan;
    const bool withheld = std::any_of(
        mFaults.withhold.begin(), mFaults.withhold.end(),
        [&](const RequestSelector& which) { return which.matches(type, nth, nthOfType); });
    plan.delivery = withheld ? AnswerPlan::Delivery::Withhold : AnswerPlan::Delivery::Send;
    plan.numbering = firstMatch(mFaults.responseNum, type, nth, nthOfType);
    plan.duplicate = firstMatch(mFaults.duplicate, type, nth, nthOfType);
    return plan;
}

} // namespace vantle::phone
