#pragma once

#include "platform/BackgroundWork.h"
#include "platform/Result.h"
#include "transfer/ClientServerController.h"
#include "transfer/ClientServerHost.h"
#include "transfer/MRTransferController.h"
#include "transfer/TransferEvents.h"

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QEventLoop;

namespace vantle::cli {

struct CommandLine;

// One phone, as the desktop program would talk to it: connects to a typed address or to the first
// phone discovered, waits for the approval on the phone, and owns the controllers the commands use.
// Lives on the main thread, which runs the event loop while a command's work runs on a worker.
class CliSession final : public ClientServerHost {
public:
    enum class Approval { NotNeeded, Needed };

    CliSession(const CommandLine& line, Approval approval);
    ~CliSession() override;
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Connects and, when needed, waits for the approval; otherwise the sentence that says why not.
    Result<void> open();
    // Runs `work` on a worker (requests never run on the network thread) while the main thread
    // serves events; returns once it is done.
    void runOnWorker(const std::function<void()>& work);

    MRTransferController& transfer() { return mTransfer; }
    // What the phone and the transfer controller tell, from before the connection on.
    TransferEvents& events() { return mEvents; }
    std::shared_ptr<GamePeer> peer() const { return mController.peer(); }
    bool connected() const { return mController.connected(); }

    // ClientServerHost
    void setStatusToConnectionStatus() override;
    void startedDiscovery() override {}
    void showAlert(const QString& title, const QString& message) override;
    void logAlert(const QString& title, const QString& message) override;
    bool isIgnored(const QString&) const override { return false; }
    bool shouldAutoConnect() const override { return !mAddress.has_value(); }
    bool suspendLookingForServers() const override { return false; }

private:
    enum class State { Idle, Connecting, Connected, Lost, Failed };
    // A command runs one piece of work at a time.
    static constexpr int kWorkers = 1;
    // The phone's answer may come before the main thread has seen the connection made.
    enum class Verdict { None, Allowed, Denied };

    Result<void> connect();
    Result<void> waitForApproval();
    // Serves events while `pending` holds, at most for `limit`.
    void waitWhile(const std::function<bool()>& pending, std::chrono::milliseconds limit);
    void moveTo(State state);
    void settle(Verdict verdict);

    const std::optional<QString> mAddress;
    const std::chrono::seconds mApprovalWait;
    const Approval mApproval;
    State mState = State::Idle;
    Verdict mVerdict = Verdict::None;
    QString mFailure; // why the state became Failed
    QEventLoop* mWaiting = nullptr;
    // Dies before the controllers, and with it what is connected to it.
    TransferEvents mEvents;
    // The transfer controller owns the response slot the client-server controller is made with.
    MRTransferController mTransfer;
    ClientServerController mController;
    // Last, so it is gone first: a command's work runs on it.
    BackgroundWork mWorker{kWorkers};
};

} // namespace vantle::cli
