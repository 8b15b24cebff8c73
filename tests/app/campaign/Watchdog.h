#pragma once

#include <QString>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vantle::campaign {

// Watches each step from a thread of its own. A step that runs past its limit is reported once
// (`overdue`, on the watchdog's thread) and `unstick` is tried, so that a program blocked on
// something the harness can release goes on; past the hard limit the process ends with a report,
// since nothing else would end a hang on the main thread.
class Watchdog {
public:
    struct Hooks {
        std::function<void(const QString& step)> overdue;
        std::function<void()> unstick;
        std::function<void(const QString& step)> fatal;
    };

    Watchdog(std::chrono::milliseconds limit, std::chrono::milliseconds hardLimit, Hooks hooks);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void arm(const QString& step);
    void disarm();

private:
    void watch();

    const std::chrono::milliseconds mLimit;
    const std::chrono::milliseconds mHardLimit;
    Hooks mHooks;
    std::mutex mLock;
    std::condition_variable mChanged;
    bool mArmed = false;
    bool mEnding = false;
    unsigned mGeneration = 0;
    QString mStep;
    std::chrono::steady_clock::time_point mSince;
    std::thread mThread;
};

} // namespace vantle::campaign
