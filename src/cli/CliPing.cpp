#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "net/NSNetServicesWrapper.h"
#include "net/PhoneProbe.h"

#include <cstdio>

namespace vantle::cli {
namespace {

constexpr const char* kUsage = "ping [--address] HOST[:PORT]";
constexpr const char* kHelp =
    "Usage: vantle-cli ping [--address] HOST[:PORT]\n"
    "\n"
    "Connects to the phone at HOST[:PORT] (port 34345 when left out), shows who it is, the\n"
    "handshake time and the median of 5 pings.\n"
    "\n"
    "Exit status: 0 when the phone answered, 1 on any failure, 2 for a usage error.\n";

constexpr int kPingCount = 5;

int fail(const QString& target, const QString& step) {
    std::fprintf(stderr, "vantle-cli: %s: %s\n", qPrintable(target), qPrintable(step));
    return kExitFailure;
}

} // namespace

int runPing(const QStringList& arguments) {
    const auto line = parseCommandLine(
        arguments, OptionSet{.address = true, .approvalWait = false, .switches = {}});
    if (!line) return usageError(line.error(), kUsage);
    if (line->help) return printHelp(kHelp);
    // The address comes as --address or as the one argument, not both.
    if (line->operands.size() != (line->address ? 0 : 1))
        return usageError(QStringLiteral("ping needs one address."), kUsage);
    const QString target = line->address.value_or(line->operands.value(0));
    const auto address = addressToDial(target);
    if (!address) return fail(target, address.error());

    const ProbeLimits limits{.pings = kPingCount};
    const ProbeResult result = probePhone(*address, limits);
    if (!result.answered()) return fail(target, describeProbeFailure(result, limits));
    std::printf("Vantle phone \"%s\"\n", qPrintable(result.name.value_or(QString())));
    std::printf("  unique ID: %s\n",
                qPrintable(result.uniqueID.value_or(QStringLiteral("(none)"))));
    std::printf("  address:   %s\n", qPrintable(socketAddressText(*address).value_or(target)));
    std::printf("  handshake: %.2f ms\n", result.handshakeMs);
    std::printf("  ping:      %.3f ms (median of %d)\n", result.medianRoundTripMs().value_or(0.0),
                kPingCount);
    std::fflush(stdout);
    return kExitSuccess;
}

} // namespace vantle::cli
