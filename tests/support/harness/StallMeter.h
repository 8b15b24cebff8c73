#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <algorithm>

namespace vantle::bench {

// The main thread's heartbeat: the longest gap between two of its ticks.
class StallMeter {
public:
    static constexpr int kTickMs = 5;

    explicit StallMeter(int tickMs = kTickMs) {
        mTicker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&mTicker, &QTimer::timeout, [this] {
            mLongestMs = std::max(mLongestMs, double(mSinceTick.nsecsElapsed()) / kNsPerMs);
            mSinceTick.restart();
        });
        mSinceTick.start();
        mTicker.start(tickMs);
    }
    double longestMs() const { return mLongestMs; }
    // Forgets the gaps so far: what follows is measured on its own.
    void restart() {
        mLongestMs = 0;
        mSinceTick.restart();
    }

private:
    static constexpr double kNsPerMs = 1e6;

    QTimer mTicker;
    QElapsedTimer mSinceTick;
    double mLongestMs = 0;
};

} // namespace vantle::bench
