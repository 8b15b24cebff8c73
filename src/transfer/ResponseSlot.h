#pragma once

#include "transfer/TransferTimeouts.h"

#include <QVariantMap>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

namespace vantle {

// The last response from the phone not yet taken, and the one wait for it. The network thread
// fills the slot; the requesting thread takes what it stores exactly once.
class ResponseSlot {
public:
    // Asked while waiting; false ends the wait as a lost connection.
    using ConnectionProbe = std::function<bool()>;

    explicit ResponseSlot(const TransferTimeouts& timeouts = {});

    // The response numbered `requestNum`; none on time-out, a lost connection or a response
    // numbered higher. Lower numbers (answers to requests that already gave up, or no number at
    // all) are dropped and the wait starts again with its full time-out.
    std::optional<QVariantMap> waitForResponse(std::int32_t requestNum,
                                               const ConnectionProbe& connected,
                                               ResponseLimit limit = ResponseLimit::OfThread);
    // Replaces whatever the slot holds; never blocks for longer than a waiter's check.
    void setResponse(const QVariantMap& response);
    bool waitingForResponse() const { return mWaitingForResponse.load(); }
    // A response is stored and not taken yet.
    bool hasResponse() const;
    // Makes a waiter look at the connection again; called once it is lost.
    void wakeWaiters();

private:
    std::chrono::milliseconds timeoutFor(ResponseLimit limit) const;

    enum class WaitEnd { Response, TimedOut, NoConnection };

    const TransferTimeouts mTimeouts;
    mutable std::mutex mLock; // mResponse
    std::condition_variable mChanged;
    std::optional<QVariantMap> mResponse;
    std::atomic<bool> mWaitingForResponse{false};
    std::recursive_mutex mWaitForResponseLock; // admits one waiter
};

} // namespace vantle
