#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <functional>
#include <mutex>

namespace vantle::cli {

// The one progress line of an upload on standard error, redrawn a few times a second from what
// the upload has counted so far; nothing of it when standard error is no terminal. Failure
// sentences go above it.
class CliProgress {
public:
    struct Sample {
        quint64 bytes = 0;
        quint64 total = 0;
    };

    explicit CliProgress(bool onTerminal);
    ~CliProgress();
    CliProgress(const CliProgress&) = delete;
    CliProgress& operator=(const CliProgress&) = delete;

    // Main thread: starts polling `sample`.
    void start(std::function<Sample()> sample);
    // Main thread: stops and clears the line.
    void stop();
    // Any thread: a new item starts; its speed counts from now.
    void restart();
    // Any thread: one failure sentence on standard error.
    void say(const QString& sentence);

    // "1.2 MB of 10 MB  3.4 MB/s  0:05 left".
    static QString line(const Sample& sample, qint64 elapsedMs);

private:
    void draw();
    void clearLocked();

    const bool mOnTerminal;
    std::function<Sample()> mSample;
    QTimer mTimer;
    std::mutex mLock; // stderr, mClock, mShown
    QElapsedTimer mClock;
    bool mShown = false;
};

} // namespace vantle::cli
