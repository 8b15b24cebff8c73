#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <optional>
#include <vector>

namespace vantle::phone {

// Which of the PC's requests in a session a fault hits: the Nth of any type, every one of a
// type, or the Nth of a type (N counted from 1).
struct RequestSelector {
    QString type;    // empty: any type
    int ordinal = 0; // 0: every request of `type`

    bool matches(const QString& requestType, int nthOverall, int nthOfType) const;
};

struct ResponseNumFault {
    enum class Kind { Shifted, Missing };
    RequestSelector which;
    Kind kind = Kind::Shifted;
    qint64 shift = 0; // added to the request's number when Shifted
};

struct DuplicateFault {
    enum class When { BeforeNextAnswer, AfterDelay };
    RequestSelector which;
    When when = When::BeforeNextAnswer;
    int delayMs = 0; // after the original answer, when AfterDelay
};

// The faults chosen on the command line that hit single answers.
struct AnswerFaults {
    std::vector<RequestSelector> withhold;
    std::vector<ResponseNumFault> responseNum;
    std::vector<DuplicateFault> duplicate;
};

// What to do with the answer to one request.
struct AnswerPlan {
    enum class Delivery { Send, Withhold };
    Delivery delivery = Delivery::Send;
    std::optional<ResponseNumFault> numbering; // none: the request's number, copied
    std::optional<DuplicateFault> duplicate;   // none: the answer goes once

    // Puts "ResponseNum" into `response` as the plan says.
    void number(QVariantMap& response, const QVariant& requestNum) const;
};

// Counts a session's requests and says, request by request, which faults hit the answer; the
// first rule given on the command line wins where several of a kind match.
class PhoneFaults {
public:
    explicit PhoneFaults(AnswerFaults faults) : mFaults(std::move(faults)) {}

    // Counts one request of `type` (one that will be answered) and plans its answer.
    AnswerPlan next(const QString& type);

private:
    AnswerFaults mFaults;
    int mCount = 0;
    QHash<QString, int> mCountOfType;
};

} // namespace vantle::phone
