#pragma once

#include "net/NetTestSupport.h"
#include "transfer/ClientServerController.h"
#include "transfer/ClientServerHost.h"
#include "transfer/ResponseSlot.h"

#include <QSet>
#include <QStringList>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace vantle::test {

using namespace std::chrono_literals;

// Stands in for the window: records what the session tells it, answers from its fields.
class RecordingHost : public ClientServerHost {
public:
    struct Alert {
        QString title, message;
    };

    void setStatusToConnectionStatus() override;
    void startedDiscovery() override;
    void showAlert(const QString& title, const QString& message) override;
    void logAlert(const QString& title, const QString& message) override;
    bool isIgnored(const QString& address) const override;
    bool shouldAutoConnect() const override { return autoConnect; }
    bool suspendLookingForServers() const override {
        ++restartChecks;
        return suspended;
    }

    int statusChanges() const;
    int discoveryStarts() const;
    std::chrono::steady_clock::time_point lastDiscoveryStart() const;
    std::vector<Alert> alerts() const;
    std::vector<Alert> loggedAlerts() const;
    void ignore(const QString& address);

    std::atomic<bool> autoConnect{false};
    std::atomic<bool> suspended{false};
    std::atomic<bool> calledOffMainThread{false};
    // How often the session asked whether it may search again.
    mutable std::atomic<int> restartChecks{0};

private:
    void noteThread();

    mutable std::mutex mLock;
    int mStatusChanges = 0;
    int mDiscoveryStarts = 0;
    std::chrono::steady_clock::time_point mLastDiscoveryStart{};
    std::vector<Alert> mAlerts, mLoggedAlerts;
    QSet<QString> mIgnored;
};

// Limits for suites that wait for them on purpose; the restart after a loss is short too.
TransferTimeouts shortenedTimeouts(std::chrono::milliseconds turn,
                                   std::chrono::milliseconds mainThreadResponse,
                                   std::chrono::milliseconds workerResponse);

// A host, a response slot and a controller with its client started, built with shortened limits.
struct ControllerRig {
    explicit ControllerRig(const TransferTimeouts& timeouts, bool autoConnect = false);
    ~ControllerRig();
    RecordingHost host;
    ResponseSlot slot;
    ClientServerController controller;
};

// The phone's end scripted message by message on a RawServer.
class ScriptedPhone {
public:
    std::uint16_t port() const { return mServer.port(); }
    QString typedAddress() const;
    // Accepts the PC and exchanges identities.
    bool acceptAndHandshake();
    std::optional<QVariantMap> receiveMessage();
    bool sendMessage(const QVariantMap& message);
    bool sendPayload(const QByteArray& payload);
    // Sends `body` as the response to `request`.
    bool answer(const QVariantMap& request, QVariantMap body);
    bool sawClose(int timeoutMs = kWaitMs) { return mServer.sawClose(timeoutMs); }
    void close() { mServer.closeClient(); }

private:
    RawServer mServer;
};

// Connects the rig's controller to `phone` through a typed address; true once `_peer` is set.
bool connectTo(ControllerRig& rig, ScriptedPhone& phone);

qint64 requestNumber(const QVariantMap& message);

// A call that answers a response, run on a thread of its own: what it answered and how long it
// took.
class WorkerCall {
public:
    explicit WorkerCall(std::function<std::optional<QVariantMap>()> call);
    ~WorkerCall();
    // Waits (bounded) for the call to end.
    bool finish(int timeoutMs = 3 * kWaitMs);

    std::optional<QVariantMap> result;
    std::chrono::steady_clock::duration elapsed{};
    std::atomic<bool> done{false};

private:
    std::thread mThread;
};

long long milliseconds(std::chrono::steady_clock::duration duration);

} // namespace vantle::test
