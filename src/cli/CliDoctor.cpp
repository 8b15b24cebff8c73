#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "net/ConnectionDiagnosis.h"

#include <cstdio>

namespace vantle::cli {
namespace {

constexpr const char* kUsage = "doctor [--address HOST[:PORT]]";
constexpr int kMillisecondsPerSecond = 1000;
constexpr const char* kHelp =
    "Usage: vantle-cli doctor [--address HOST[:PORT]]\n"
    "\n"
    "Checks, in order, what a connection to a phone needs and says in plain words what is\n"
    "wrong and what to do: the DNS-SD library, the DNS-SD daemon, this computer's network\n"
    "interfaces, the phones seen advertising Vantle within %1 s (and whether each is on a\n"
    "local subnet), then a connection and handshake to each phone seen, or to HOST[:PORT]\n"
    "(port 34345 when left out) instead.\n"
    "\n"
    "Exit status: 0 when a phone answered, 1 when none did, 2 for a usage error.\n";

void print(const QString& text) {
    std::fputs(qPrintable(text), stdout);
    std::fflush(stdout);
}

} // namespace

int runDoctor(const QStringList& arguments) {
    const auto line = parseCommandLine(
        arguments, OptionSet{.address = true, .approvalWait = false, .switches = {}});
    if (!line) return usageError(line.error(), kUsage);
    if (line->help)
        return printHelp(QString::fromLatin1(kHelp)
                             .arg(DiagnosisSettings::kDiscoveryWindowMs / kMillisecondsPerSecond)
                             .toUtf8()
                             .constData());
    if (!line->operands.isEmpty())
        return usageError(QStringLiteral("doctor takes no arguments but --address."), kUsage);
    DiagnosisSettings settings;
    settings.address = line->address;
    print(renderReportHeading());
    const ConnectionReport report = runConnectionDiagnosis(
        settings, [](const DiagnosticCheck& check) { print(renderCheck(check)); });
    print(renderReportConclusion(report));
    return report.phoneAnswered ? kExitSuccess : kExitFailure;
}

} // namespace vantle::cli
