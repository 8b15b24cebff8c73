#include "cli/CliProgress.h"

#include "cli/CliOptions.h"
#include "files/FSNodeInfo.h"

#include <cstdio>

namespace vantle::cli {
namespace {

// Often enough to look alive, rarely enough to cost nothing.
constexpr std::chrono::milliseconds kRedrawInterval{250};
constexpr qint64 kMillisecondsPerSecond = 1000;
constexpr qint64 kSecondsPerMinute = 60;

QString timeText(qint64 seconds) {
    return QStringLiteral("%1:%2")
        .arg(seconds / kSecondsPerMinute)
        .arg(seconds % kSecondsPerMinute, 2, 10, QLatin1Char('0'));
}

} // namespace

CliProgress::CliProgress(bool onTerminal) : mOnTerminal(onTerminal) {
    mTimer.setInterval(kRedrawInterval);
    QObject::connect(&mTimer, &QTimer::timeout, [this] { draw(); });
    mClock.start();
}

CliProgress::~CliProgress() {
    stop();
}

void CliProgress::start(std::function<Sample()> sample) {
    if (!mOnTerminal) return;
    mSample = std::move(sample);
    mTimer.start();
}

void CliProgress::stop() {
    mTimer.stop();
    std::lock_guard lock(mLock);
    clearLocked();
}

void CliProgress::restart() {
    std::lock_guard lock(mLock);
    mClock.restart();
}

void CliProgress::say(const QString& sentence) {
    std::lock_guard lock(mLock);
    clearLocked();
    failure(sentence);
}

QString CliProgress::line(const Sample& sample, qint64 elapsedMs) {
    const double seconds = static_cast<double>(elapsedMs) / kMillisecondsPerSecond;
    const double perSecond = seconds > 0 ? static_cast<double>(sample.bytes) / seconds : 0;
    const QString left = perSecond > 0 && sample.total >= sample.bytes
                             ? timeText(static_cast<qint64>(
                                   static_cast<double>(sample.total - sample.bytes) / perSecond))
                             : QStringLiteral("-:--");
    return QStringLiteral("%1 of %2  %3/s  %4 left")
        .arg(FSNodeInfo::getSizeText(sample.bytes), FSNodeInfo::getSizeText(sample.total),
             FSNodeInfo::getSizeText(static_cast<quint64>(perSecond)), left);
}

void CliProgress::draw() {
    if (!mSample) return;
    const Sample sample = mSample();
    std::lock_guard lock(mLock);
    // Erases to the end of the line, so a shorter line leaves nothing of the last.
    std::fprintf(stderr, "\r%s\033[K", qUtf8Printable(line(sample, mClock.elapsed())));
    std::fflush(stderr);
    mShown = true;
}

void CliProgress::clearLocked() {
    if (!mShown) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    mShown = false;
}

} // namespace vantle::cli
