#include "app/campaign/RealProgram.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <csignal>

namespace vantle::campaign {
namespace {

const QString kProgram = QStringLiteral(VANTLE_BIN_DIR "/vantle");
constexpr int kStartMs = 15'000;
constexpr int kHandOverMs = 15'000;
constexpr int kPollMs = 20;

} // namespace

RealProgram::~RealProgram() {
    if (mProcess.state() == QProcess::NotRunning) return;
    mProcess.kill(); // our own child, by its process id
    mProcess.waitForFinished(kStartMs);
}

void RealProgram::collect() {
    mOutput += QString::fromLocal8Bit(mProcess.readAllStandardOutput());
}

bool RealProgram::start(const QString& phoneAddress) {
    mProcess.setProcessChannelMode(QProcess::MergedChannels);
    mProcess.start(kProgram, {QStringLiteral("--connect"), phoneAddress});
    if (!mProcess.waitForStarted(kStartMs)) return false;
    const QDeadlineTimer deadline(kStartMs);
    while (!deadline.hasExpired() && mProcess.state() == QProcess::Running) {
        mProcess.waitForReadyRead(kPollMs);
        collect();
        if (mOutput.contains(QStringLiteral("connectionGranted"))) return true;
    }
    return false;
}

bool RealProgram::handOver(const QStringList& paths) {
    QProcess second;
    second.setProcessChannelMode(QProcess::MergedChannels);
    second.start(kProgram, paths);
    const bool ended = second.waitForFinished(kHandOverMs);
    if (!ended) {
        second.kill(); // our own child, by its process id
        second.waitForFinished(kHandOverMs);
    }
    collect();
    return ended && second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0;
}

void RealProgram::runFor(int ms) {
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired() && mProcess.state() == QProcess::Running) {
        mProcess.waitForReadyRead(std::min<int>(kPollMs, int(deadline.remainingTime())));
        collect();
    }
}

bool RealProgram::terminate(int limitMs, qint64& tookMs) {
    QElapsedTimer clock;
    clock.start();
    if (mProcess.state() == QProcess::NotRunning) {
        tookMs = 0;
        return true;
    }
    ::kill(static_cast<pid_t>(mProcess.processId()), SIGTERM);
    const bool ended = mProcess.waitForFinished(limitMs);
    tookMs = clock.elapsed();
    collect();
    // The real program's own log, appended to a file of the caller's choosing, for a replay.
    if (qEnvironmentVariableIsSet("VANTLE_CAMPAIGN_DUMP")) {
        QFile dump(qEnvironmentVariable("VANTLE_CAMPAIGN_DUMP"));
        if (dump.open(QIODevice::Append)) dump.write(mOutput.toUtf8());
    }
    if (!ended) {
        mProcess.kill(); // our own child, by its process id
        mProcess.waitForFinished(limitMs);
    }
    return ended;
}

} // namespace vantle::campaign
