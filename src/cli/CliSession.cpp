#include "cli/CliSession.h"

#include "cli/CliOptions.h"
#include "net/DnsSdLibrary.h"
#include "net/GamePeer.h"
#include "support/ParoxLog.h"

#include <QEventLoop>
#include <QTimer>
#include <cstdio>

namespace vantle::cli {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// How long a command looks for a phone when it is given no address.
constexpr seconds kDiscoveryWait{5};
// A connection once started ends by itself (handshake time-out); this only bounds a stuck one.
constexpr milliseconds kConnectWait{GamePeer::kDefaultHandshakeTimeoutMs * 2};

} // namespace

CliSession::CliSession(const CommandLine& line, Approval approval)
    : mAddress(line.address), mApprovalWait(line.approvalWaitSeconds), mApproval(approval),
      mController(*this, mTransfer.responseSlot()) {
    mTransfer.setClientServerController(&mController);
    mController.setRequestDispatcher(&mTransfer);
    // Observed before any phone can speak, so no verdict slips by.
    QObject::connect(&mEvents, &TransferEvents::connectionAllowed,
                     [this] { settle(Verdict::Allowed); });
    QObject::connect(&mEvents, &TransferEvents::connectionDenied,
                     [this] { settle(Verdict::Denied); });
}

CliSession::~CliSession() {
    mEvents.disconnect();
    if (auto phone = mController.peer()) phone->disconnect();
    mController.setRequestDispatcher(nullptr);
    mTransfer.setClientServerController(nullptr);
}

void CliSession::moveTo(State state) {
    mState = state;
    if (mWaiting) mWaiting->quit();
}

void CliSession::settle(Verdict verdict) {
    // A refusal stands; a later approval does not undo it.
    if (mVerdict != Verdict::Denied) mVerdict = verdict;
    if (mWaiting) mWaiting->quit();
}

void CliSession::waitWhile(const std::function<bool()>& pending, milliseconds limit) {
    if (!pending()) return;
    QEventLoop loop;
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    mWaiting = &loop;
    // Every change quits the loop; a change that still leaves us pending waits on.
    const auto started = std::chrono::steady_clock::now();
    while (pending() && std::chrono::steady_clock::now() - started < limit) {
        loop.exec();
    }
    mWaiting = nullptr;
}

void CliSession::setStatusToConnectionStatus() {
    const bool now = mController.connected();
    if (now && mState == State::Connecting)
        moveTo(State::Connected);
    else if (!now && mState == State::Connected)
        moveTo(State::Lost);
}

void CliSession::showAlert(const QString& title, const QString& message) {
    ParoxLog("alert: %@ %@", title, message);
    if (mState == State::Connecting || mState == State::Idle) {
        mFailure = mAddress
                       ? QStringLiteral("cannot connect to %1.").arg(*mAddress)
                       : QStringLiteral("cannot look for phones (DNS-SD did not start). Give the "
                                        "phone's address with --address.");
        moveTo(State::Failed);
        return;
    }
    std::fprintf(stderr, "vantle-cli: %s\n", qUtf8Printable(message));
}

void CliSession::logAlert(const QString& title, const QString& message) {
    ParoxLog("%@ %@", title, message);
}

Result<void> CliSession::open() {
    if (const auto made = connect(); !made) return made;
    if (mApproval == Approval::NotNeeded) return {};
    return waitForApproval();
}

Result<void> CliSession::connect() {
    if (!mAddress && !loadBonjourDLL())
        return Result<void>::failure(
            QStringLiteral("cannot look for phones: %1. Give the phone's address with --address.")
                .arg(dnsSdLoadError()));
    mState = State::Connecting;
    const auto connecting = [this] { return mState == State::Connecting; };
    mController.startClient();
    if (!mController.client())
        return Result<void>::failure(QStringLiteral("cannot start networking."));
    if (mAddress) {
        switch (mController.addServer(*mAddress)) {
        case AddServerResult::Connecting:
            break;
        case AddServerResult::InvalidAddress:
            return Result<void>::failure(
                QStringLiteral("%1 is not an address (HOST or HOST:PORT).").arg(*mAddress));
        case AddServerResult::CouldNotConnect:
        case AddServerResult::CouldNotMakePeer:
            return Result<void>::failure(QStringLiteral("cannot connect to %1.").arg(*mAddress));
        }
        waitWhile(connecting, kConnectWait);
    } else {
        waitWhile(connecting, kDiscoveryWait);
        // A phone found just in time still gets its handshake.
        if (mState == State::Connecting && mController.connectedOrConnecting())
            waitWhile(connecting, kConnectWait);
    }
    if (mState == State::Failed) return Result<void>::failure(mFailure);
    if (mState == State::Connecting) {
        mController.stopLookingForServers();
        return Result<void>::failure(
            mAddress
                ? QStringLiteral("cannot connect to %1: no Vantle phone answered.").arg(*mAddress)
                : QStringLiteral("no phone found within %1 s. Is Vantle open on the phone, "
                                 "on the same network? Or give its address with --address.")
                      .arg(kDiscoveryWait.count()));
    }
    return {};
}

Result<void> CliSession::waitForApproval() {
    const auto waiting = [this] { return mState == State::Connected && mVerdict == Verdict::None; };
    if (waiting()) {
        std::fprintf(stderr, "Waiting for approval on the phone...\n");
        std::fflush(stderr);
        waitWhile(waiting, mApprovalWait);
    }
    switch (mVerdict) {
    case Verdict::Allowed:
        if (mState == State::Connected) return {};
        break;
    case Verdict::Denied:
        return Result<void>::failure(QStringLiteral("the phone refused the connection."));
    case Verdict::None:
        if (mState == State::Connected)
            return Result<void>::failure(
                QStringLiteral("the phone did not approve the connection within %1 s.")
                    .arg(mApprovalWait.count()));
        break;
    }
    return Result<void>::failure(
        QStringLiteral("the connection to the phone was lost before it approved."));
}

void CliSession::runOnWorker(const std::function<void()>& work) {
    QEventLoop loop;
    // Its result comes back once the work has returned.
    if (mWorker.runThenCallback([&work] { work(); }, [&loop] { loop.quit(); })) loop.exec();
}

} // namespace vantle::cli
