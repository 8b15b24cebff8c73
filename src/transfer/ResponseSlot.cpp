#include "transfer/ResponseSlot.h"

#include "platform/MainThread.h"
#include "support/ParoxLog.h"
#include "transfer/MessageEnvelope.h"

#include <QDateTime>
#include <chrono>
#include <utility>

namespace vantle {
namespace {

using Clock = std::chrono::steady_clock;

double toSeconds(std::chrono::milliseconds duration) {
    return std::chrono::duration<double>(duration).count();
}

QString dateText(const QDateTime& date) {
    return date.toString(Qt::ISODateWithMs);
}

} // namespace

ResponseSlot::ResponseSlot(const TransferTimeouts& timeouts) : mTimeouts(timeouts) {}

std::chrono::milliseconds ResponseSlot::timeoutFor(ResponseLimit limit) const {
    switch (limit) {
    case ResponseLimit::Short:
        return mTimeouts.mainThreadResponse;
    case ResponseLimit::OfThread:
        break;
    }
    return isMainThread() ? mTimeouts.mainThreadResponse : mTimeouts.workerResponse;
}

std::optional<QVariantMap> ResponseSlot::waitForResponse(std::int32_t requestNum,
                                                         const ConnectionProbe& connected,
                                                         ResponseLimit limit) {
    for (;;) {
        ParoxLog("waitForResponse: %d", requestNum);
        std::unique_lock waitLock(mWaitForResponseLock, std::try_to_lock);
        if (!waitLock.owns_lock()) {
            ParoxLog("um, already waiting..");
            waitLock.lock();
        }
        mWaitingForResponse = true;
        const std::chrono::milliseconds timeout = timeoutFor(limit);
        const auto deadline = Clock::now() + timeout;
        // UTC: the local time would read the time zone files for every piece of an upload.
        const QDateTime until = QDateTime::currentDateTimeUtc().addMSecs(timeout.count());
        ParoxLog("Going to wait %f secs (until %@) for request %d", toSeconds(timeout),
                 dateText(until), requestNum);

        WaitEnd end = WaitEnd::TimedOut;
        std::optional<QVariantMap> response;
        {
            std::unique_lock lock(mLock);
            for (;;) {
                // The order of the checks matters: a response that came with the end of the
                // connection is still taken.
                if (mResponse) {
                    response = std::exchange(mResponse, std::nullopt);
                    end = WaitEnd::Response;
                    break;
                }
                if (Clock::now() >= deadline) {
                    end = WaitEnd::TimedOut;
                    break;
                }
                if (!connected()) {
                    end = WaitEnd::NoConnection;
                    break;
                }
                mChanged.wait_until(lock, deadline);
            }
        }
        switch (end) {
        case WaitEnd::Response:
            ParoxLog("got a response for %d", requestNum);
            break;
        case WaitEnd::TimedOut:
            ParoxLog("response %d timed out! (now: %@) (timeout: %@)", requestNum,
                     dateText(QDateTime::currentDateTimeUtc()), dateText(until));
            break;
        case WaitEnd::NoConnection:
            ParoxLog("no connection!");
            break;
        }

        if (!response) {
            if (connected())
                ParoxLog("Hit %f secs timeout for request %d", toSeconds(timeout), requestNum);
            else
                ParoxLog("Lost connection while waiting for response for request %d", requestNum);
            mWaitingForResponse = false;
            return std::nullopt;
        }
        const std::int32_t received = Envelope::decode(*response).responseNum;
        if (received == requestNum) {
            mWaitingForResponse = false;
            return response;
        }
        ParoxLog("out of order response! (%d != %d)", received, requestNum);
        waitLock.unlock();
        mWaitingForResponse = false;
        if (received > requestNum) {
            ParoxLog("that's really odd...");
            return std::nullopt;
        }
    }
}

void ResponseSlot::setResponse(const QVariantMap& response) {
    {
        std::lock_guard lock(mLock);
        mResponse = response;
    }
    mChanged.notify_all();
}

bool ResponseSlot::hasResponse() const {
    std::lock_guard lock(mLock);
    return mResponse.has_value();
}

void ResponseSlot::wakeWaiters() {
    // Taken so that a waiter between its check of the connection and its wait cannot miss this.
    std::lock_guard lock(mLock);
    mChanged.notify_all();
}

} // namespace vantle
