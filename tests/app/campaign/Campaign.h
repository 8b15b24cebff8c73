#pragma once

#include "app/campaign/Invariants.h"

#include <QStringList>
#include <cstdint>

namespace vantle::campaign {

struct RunReport {
    std::uint32_t seed = 0;
    QStringList steps;
    QList<Violation> violations;
    qint64 longestStepMs = 0;
    qint64 longestQuitMs = 0;
    qint64 longestDownloadStallMs = 0;
};

struct CampaignReport {
    int runs = 0;
    int violations = 0;
    qint64 longestStepMs = 0;
    qint64 longestQuitMs = 0;
    qint64 longestDownloadStallMs = 0;
    QList<RunReport> failed;
};

// The campaign's settings: from the environment (VANTLE_CAMPAIGN_SEED, VANTLE_CAMPAIGN_RUNS,
// VANTLE_CAMPAIGN_STEPS) with the build's defaults, or from a program's command line.
struct CampaignSettings {
    std::uint32_t firstSeed = 1;
    int runs = 50;
    int steps = 6;
    static CampaignSettings fromEnvironment(int defaultRuns);
};

// One seeded sequence of steps against the program in this process and a vantle-phone, then the
// checks. Needs the application object and a prepared process (AppTestMain.h).
RunReport runOnce(std::uint32_t seed, int steps);
// `settings.runs` sequences with seeds from `settings.firstSeed` on; each failing one is printed
// with its seed and steps as it ends.
CampaignReport runCampaign(const CampaignSettings& settings);
// A run's seed, steps and violations, and how to replay it.
QString describe(const RunReport& run);
// RESULT runs=… violations=… longest_step_s=… longest_quit_s=… longest_download_stall_s=…
QString resultLine(const CampaignReport& report);

} // namespace vantle::campaign
