#include "app/campaign/Campaign.h"

#include "app/campaign/Downloads.h"
#include "app/campaign/RunContext.h"
#include "app/campaign/Steps.h"
#include "app/campaign/Watchdog.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <unistd.h>

namespace vantle::campaign {
namespace {

using namespace std::chrono_literals;

// Far beyond any step's own bounded waits: reaching it is a hang.
constexpr auto kStepLimit = 10s;
// After this the process ends with its report: nothing releases the main thread.
constexpr auto kHardLimit = 45s;
constexpr int kExitHung = 3;
constexpr double kMsPerSecond = 1000.0;
// A step that takes this long is worth a line in the run's steps.
constexpr qint64 kSlowStepMs = 1000;

// What the watchdog's thread may reach of the run under way.
struct Watched {
    std::mutex lock;
    RunContext* run = nullptr;
    QList<Violation> overdue;
};
Watched gWatched;

void print(const QString& text) {
    std::fputs(qUtf8Printable(text), stdout);
    std::fflush(stdout);
}

// With VANTLE_CAMPAIGN_STACKS naming a file, a step past its limit appends every thread's stack
// there (by gdb), so that a hang seen once in hundreds of runs can be read afterwards.
void dumpStacks() {
    const QString file = qEnvironmentVariable("VANTLE_CAMPAIGN_STACKS");
    if (file.isEmpty()) return;
    const QString command =
        QStringLiteral("gdb -p %1 -batch -ex 'thread apply all bt' >> '%2' 2>&1")
            .arg(::getpid())
            .arg(file);
    if (std::system(qUtf8Printable(command)) != 0) print(QStringLiteral("  (no stacks)\n"));
}

Watchdog::Hooks watchdogHooks() {
    Watchdog::Hooks hooks;
    hooks.overdue = [](const QString& step) {
        dumpStacks();
        std::lock_guard lock(gWatched.lock);
        gWatched.overdue << Violation{QStringLiteral("I5"),
                                      QStringLiteral("\"%1\" ran past %2 s")
                                          .arg(step)
                                          .arg(std::chrono::seconds(kStepLimit).count())};
    };
    hooks.unstick = [] {
        std::lock_guard lock(gWatched.lock);
        if (gWatched.run) gWatched.run->work.releasePipes();
    };
    hooks.fatal = [](const QString& step) {
        std::lock_guard lock(gWatched.lock);
        RunReport report;
        if (gWatched.run) {
            // The main thread is stuck in the step: what it wrote before stays as it is.
            report.seed = gWatched.run->seed;
            report.steps = gWatched.run->steps;
            // No destructor runs after this: the phone is ended here, by its process id.
            if (const qint64 phone = gWatched.run->phone.processId(); phone > 0)
                ::kill(static_cast<pid_t>(phone), SIGKILL);
        }
        report.violations << Violation{
            QStringLiteral("I5"), QStringLiteral("\"%1\" hangs; ending the process").arg(step)};
        print(describe(report));
        std::_Exit(kExitHung);
    };
    return hooks;
}

int fromEnvironment(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

} // namespace

CampaignSettings CampaignSettings::fromEnvironment(int defaultRuns) {
    CampaignSettings settings;
    settings.firstSeed = static_cast<std::uint32_t>(
        campaign::fromEnvironment("VANTLE_CAMPAIGN_SEED", int(settings.firstSeed)));
    settings.runs = campaign::fromEnvironment("VANTLE_CAMPAIGN_RUNS", defaultRuns);
    settings.steps = campaign::fromEnvironment("VANTLE_CAMPAIGN_STEPS", settings.steps);
    return settings;
}

RunReport runOnce(std::uint32_t seed, int steps) {
    Watchdog watchdog(kStepLimit, kHardLimit, watchdogHooks());
    RunReport report;
    report.seed = seed;
    {
        RunContext run(seed, watchdog);
        {
            std::lock_guard lock(gWatched.lock);
            gWatched.run = &run;
            gWatched.overdue.clear();
        }
        prepareDownloads(run);
        // Files already on the phone, some named as items about to come.
        const int before = run.between(0, 3);
        for (int i = 0; i < before; ++i) {
            const int index = run.between(0, steps);
            const QString name = QStringLiteral("n%1.dat").arg(index);
            run.model.phoneHadFile(name,
                                   run.phone.putFile(name, "phone's own " + QByteArray::number(i)));
            run.steps << QStringLiteral("phone holds %1").arg(name);
        }
        QStringList initial;
        if (run.chance(10)) {
            // The longest name the phone takes, there already: Make Unique has no free name left.
            const QString path = run.work.make(ItemKind::LongName, run.nextItem++, run.random);
            const QString name = QFileInfo(path).fileName();
            run.model.phoneHadFile(name, run.phone.putFile(name, "phone's own long"));
            run.model.added(path, ItemKind::LongName);
            initial << path;
            run.steps << QStringLiteral("phone holds the longest name; add one of that name");
        }
        run.startProgram();
        if (!initial.isEmpty()) run.program->add(initial);
        run.connectProgram();
        for (int i = 0; i < steps; ++i) {
            const StepKind kind = pickStep(run);
            const QString label = QStringLiteral("step %1").arg(i + 1);
            run.watchdog.arm(label);
            QElapsedTimer clock;
            clock.start();
            runStep(kind, run);
            run.watchdog.disarm();
            const qint64 took = clock.elapsed();
            if (took >= kSlowStepMs) run.steps << QStringLiteral("   took %1 ms").arg(took);
            run.longestStepMs = std::max(run.longestStepMs, took);
            run.found(checkRows(run.rows()));
        }
        run.watchdog.arm(QStringLiteral("settle"));
        settle(run);
        run.watchdog.disarm();
        const Outcome outcome{run.rows(), run.everythingSaid()};
        run.found(checkItems(run.model, run.phone, outcome));
        run.found(checkPhoneFiles(run.model, run.phone));
        run.found(checkDownloads(run));
        run.quitProgram(QStringLiteral("the end of the run"));
        {
            std::lock_guard lock(gWatched.lock);
            run.found(gWatched.overdue);
            gWatched.overdue.clear();
            gWatched.run = nullptr;
        }
        report.steps = run.steps;
        report.violations = run.violations;
        report.longestStepMs = run.longestStepMs;
        report.longestQuitMs = run.longestQuitMs;
        report.longestDownloadStallMs = run.downloads.longestStallMs;
    }
    return report;
}

CampaignReport runCampaign(const CampaignSettings& settings) {
    CampaignReport report;
    for (int i = 0; i < settings.runs; ++i) {
        const RunReport run = runOnce(settings.firstSeed + std::uint32_t(i), settings.steps);
        ++report.runs;
        report.violations += int(run.violations.size());
        report.longestStepMs = std::max(report.longestStepMs, run.longestStepMs);
        report.longestQuitMs = std::max(report.longestQuitMs, run.longestQuitMs);
        report.longestDownloadStallMs =
            std::max(report.longestDownloadStallMs, run.longestDownloadStallMs);
        if (!run.violations.isEmpty()) report.failed << run;
        // Every run's steps on request, to see where the time goes.
        if (!run.violations.isEmpty() || qEnvironmentVariableIsSet("VANTLE_CAMPAIGN_VERBOSE"))
            print(describe(run));
    }
    return report;
}

QString describe(const RunReport& run) {
    QString text =
        QStringLiteral("== seed %1: %2 violation(s)\n").arg(run.seed).arg(run.violations.size());
    for (const Violation& violation : run.violations)
        text += QStringLiteral("  %1: %2\n").arg(violation.invariant, violation.text);
    text += QStringLiteral("  steps:\n");
    for (const QString& step : run.steps)
        text += QStringLiteral("    ") + step + QLatin1Char('\n');
    text +=
        QStringLiteral("  replay: VANTLE_CAMPAIGN_SEED=%1 VANTLE_CAMPAIGN_RUNS=1\n").arg(run.seed);
    return text;
}

QString resultLine(const CampaignReport& report) {
    return QStringLiteral("RESULT runs=%1 violations=%2 longest_step_s=%3 longest_quit_s=%4 "
                          "longest_download_stall_s=%5")
        .arg(report.runs)
        .arg(report.violations)
        .arg(double(report.longestStepMs) / kMsPerSecond, 0, 'f', 2)
        .arg(double(report.longestQuitMs) / kMsPerSecond, 0, 'f', 2)
        .arg(double(report.longestDownloadStallMs) / kMsPerSecond, 0, 'f', 2);
}

} // namespace vantle::campaign
