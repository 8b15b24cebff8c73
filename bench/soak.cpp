// soak: the program stays up through N cycles of connect → upload → dropped connection against
// vantle-phone (restarted each cycle, so a new port and a reconnection), and its resident memory,
// open files and threads are sampled after a warm-up.
//   soak [--cycles N]
// Ends with RESULT cycles=… rss_growth_mb=… fd_growth=… thread_growth=…
#include "app/campaign/PhoneControl.h"
#include "app/campaign/RunContext.h"
#include "app/campaign/Workspace.h"
#include "support/ParoxLogger.h"
#include "support/harness/AppProcess.h"
#include "support/harness/Program.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cstdio>

namespace {

constexpr int kWarmUpCycles = 3;
// Longer than any drop: every cycle ends with the phone going away mid-file.
constexpr qsizetype kFileBytes = 5 * 131'072;
constexpr int kCycleMs = 10'000;
constexpr double kKbPerMb = 1024.0;

qint64 residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    static const QRegularExpression rss(QStringLiteral("VmRSS:\\s+(\\d+)"));
    return rss.match(QString::fromLatin1(status.readAll())).captured(1).toLongLong();
}

qsizetype entries(const char* folder) {
    return QDir(QLatin1String(folder))
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)
        .size();
}

struct Sample {
    qint64 rssKb = residentKb();
    qsizetype files = entries("/proc/self/fd");
    qsizetype threads = entries("/proc/self/task");
};

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir profile;
    vantle::test::prepareAppProcess(profile.path(), vantle::test::PhoneSearch::Scripted);
    QApplication app(argc, argv);
    vantle::test::nameApplication();
    QCommandLineParser parser;
    const QCommandLineOption cyclesOption(QStringLiteral("cycles"), QStringLiteral("cycles"),
                                          QStringLiteral("N"), QStringLiteral("20"));
    parser.addOption(cyclesOption);
    parser.addHelpOption();
    parser.process(app);
    const int cycles = std::max(parser.value(cyclesOption).toInt(), kWarmUpCycles + 1);

    vantle::test::startFromCleanSettings();
    std::mt19937 random(1);
    vantle::campaign::Workspace work;
    vantle::campaign::PhoneControl phone;
    vantle::test::Program program;
    if (const auto logger = vantle::ParoxLogger::defaultLogger()) logger->setLogToStdOut(false);

    Sample start;
    int reached = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        if (cycle == kWarmUpCycles) start = Sample{};
        phone.restart(vantle::campaign::PhoneFault::Drop, random);
        program->connectToTypedAddress(phone.address());
        const QString file = work.root() + QStringLiteral("/soak%1.bin").arg(cycle);
        vantle::test::writeFile(file, vantle::test::patterned(kFileBytes, 's'));
        program->doAddToQueue({file});
        const auto connected = [&] {
            return program.statusText() == vantle::test::kConnectedStatus;
        };
        reached += vantle::campaign::waitFor(connected, kCycleMs) ? 1 : 0;
        // The cycle ends with the dropped connection; a sheet about it is answered.
        vantle::campaign::waitFor(
            [&] {
                if (program.sheets().current())
                    program.sheets().answer(program.sheets().currentButtons().value(0));
                return !connected() && !program.sending();
            },
            kCycleMs);
        program.queue().removeAtIndex(0);
    }
    const Sample end;
    program->shutDown();
    std::printf("connected and dropped in %d of %d cycles\n", reached, cycles);
    std::printf("RESULT cycles=%d rss_growth_mb=%.1f fd_growth=%lld thread_growth=%lld\n", cycles,
                double(end.rssKb - start.rssKb) / kKbPerMb,
                static_cast<long long>(end.files - start.files),
                static_cast<long long>(end.threads - start.threads));
    return 0;
}
