#include "app/campaign/PhoneControl.h"

#include <QDir>

namespace vantle::campaign {
namespace {

const QString kPhoneId = QStringLiteral("CAMPAIGN-PHONE");
constexpr int kLongestDelayMs = 30;
constexpr int kMostPiecesBeforeDrop = 4;
constexpr int kMostPieceToFail = 4;
constexpr int kMostPiecesBeforeStop = 3;
// Error codes a phone may answer a piece with.
constexpr int kFailureCodes[] = {-321, -997, 0};

int between(std::mt19937& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

} // namespace

PhoneControl::PhoneControl() : mPhone({QStringLiteral("--id"), kPhoneId}) {}

bool PhoneControl::restart(PhoneFault fault, std::mt19937& random) {
    mFault = fault;
    mOptions = QStringList{QStringLiteral("--id"), kPhoneId};
    switch (fault) {
    case PhoneFault::None:
        break;
    case PhoneFault::Slow:
        mOptions << QStringLiteral("--delay-ms")
                 << QString::number(between(random, 1, kLongestDelayMs));
        break;
    case PhoneFault::Drop:
        mOptions << QStringLiteral("--drop-after-chunks")
                 << QString::number(between(random, 1, kMostPiecesBeforeDrop));
        break;
    case PhoneFault::FailPiece: {
        const int code = kFailureCodes[between(random, 0, int(std::size(kFailureCodes)) - 1)];
        mOptions << QStringLiteral("--fail-chunk")
                 << QStringLiteral("%1=%2").arg(between(random, 1, kMostPieceToFail)).arg(code);
        break;
    }
    case PhoneFault::NoUpload:
        mOptions << QStringLiteral("--no-upload");
        break;
    case PhoneFault::Deny:
        mOptions << QStringLiteral("--deny");
        break;
    case PhoneFault::DenyFirst:
        mOptions << QStringLiteral("--deny-first");
        break;
    case PhoneFault::StopMidItem:
        mOptions << QStringLiteral("--stop-after-pieces")
                 << QString::number(between(random, 1, kMostPiecesBeforeStop));
        break;
    }
    mPhone.restart(mOptions);
    return mPhone.running();
}

QByteArray PhoneControl::putFile(const QString& name, const QByteArray& bytes) {
    test::writeFile(mPhone.path(name), bytes);
    return bytes;
}

Tree PhoneControl::treeOf(const QString& name) const {
    return treeAt(mPhone.path(name));
}

QStringList PhoneControl::topNames() const {
    return QDir(store()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot |
                                   QDir::System);
}

} // namespace vantle::campaign
