#include "app/campaign/Watchdog.h"

namespace vantle::campaign {
namespace {

// How often a stuck step is given another push.
constexpr std::chrono::milliseconds kUnstickEvery{500};

} // namespace

Watchdog::Watchdog(std::chrono::milliseconds limit, std::chrono::milliseconds hardLimit,
                   Hooks hooks)
    : mLimit(limit), mHardLimit(hardLimit), mHooks(std::move(hooks)), mThread([this] { watch(); }) {
}

Watchdog::~Watchdog() {
    {
        std::lock_guard lock(mLock);
        mEnding = true;
    }
    mChanged.notify_all();
    mThread.join();
}

void Watchdog::arm(const QString& step) {
    {
        std::lock_guard lock(mLock);
        mArmed = true;
        mStep = step;
        mSince = std::chrono::steady_clock::now();
        ++mGeneration;
    }
    mChanged.notify_all();
}

void Watchdog::disarm() {
    {
        std::lock_guard lock(mLock);
        mArmed = false;
        ++mGeneration;
    }
    mChanged.notify_all();
}

void Watchdog::watch() {
    std::unique_lock lock(mLock);
    while (!mEnding) {
        if (!mArmed) {
            mChanged.wait(lock);
            continue;
        }
        const unsigned generation = mGeneration;
        if (mChanged.wait_until(lock, mSince + mLimit,
                                [&] { return mEnding || mGeneration != generation; }))
            continue;
        const QString step = mStep;
        lock.unlock();
        if (mHooks.overdue) mHooks.overdue(step);
        lock.lock();
        // Past the limit: push now and then, until the step ends or the hard limit comes.
        while (!mEnding && mGeneration == generation &&
               std::chrono::steady_clock::now() < mSince + mHardLimit) {
            lock.unlock();
            if (mHooks.unstick) mHooks.unstick();
            lock.lock();
            mChanged.wait_for(lock, kUnstickEvery,
                              [&] { return mEnding || mGeneration != generation; });
        }
        if (!mEnding && mGeneration == generation) {
            lock.unlock();
            if (mHooks.fatal) mHooks.fatal(step);
            lock.lock();
            // `fatal` ends the process; should it return, the step is not watched again.
            mArmed = false;
        }
    }
}

} // namespace vantle::campaign
