#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vantle::test {

// Ends a wait that has no limit of its own, so that a regression fails the bounded checks
// instead of hanging the suite: unless destroyed within `ms`, it runs `rescue` on a thread of
// its own (which breaks what is waited for, or ends the suite).
class Watchdog {
public:
    Watchdog(int ms, std::function<void()> rescue)
        : mThread([this, ms, rescue = std::move(rescue)] {
              std::unique_lock lock(mMutex);
              if (!mDone.wait_for(lock, std::chrono::milliseconds(ms),
                                  [this] { return mCancelled; }))
                  rescue();
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mMutex);
            mCancelled = true;
        }
        mDone.notify_all();
        mThread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mMutex;
    std::condition_variable mDone;
    bool mCancelled = false;
    std::thread mThread; // last: starts once the members above exist
};

} // namespace vantle::test
