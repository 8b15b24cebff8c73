#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/CliSession.h"

namespace vantle::cli {
namespace {

constexpr const char* kUsage = "rm [--address HOST[:PORT]] [--wait-approval SECONDS] PATH...";
constexpr const char* kHelp =
    "Usage: vantle-cli rm [--address HOST[:PORT]] [--wait-approval SECONDS] PATH...\n"
    "\n"
    "Removes each PATH (a file, or a folder with everything in it) from the phone.\n"
    "Waits up to SECONDS (default 60) for the approval on the phone.\n"
    "\n"
    "Exit status: 0 when every item was removed, 1 when any was missing or could not be\n"
    "removed or the phone was not reached, 2 for a usage error.\n";

} // namespace

int runRemove(const QStringList& arguments) {
    const auto line = parseCommandLine(arguments, OptionSet{});
    if (!line) return usageError(line.error(), kUsage);
    if (line->help) return printHelp(kHelp);
    if (line->operands.isEmpty())
        return usageError(QStringLiteral("rm needs at least one PATH."), kUsage);

    CliSession session(*line, CliSession::Approval::Needed);
    if (const auto opened = session.open(); !opened) return failure(opened.error());
    QStringList problems;
    bool lost = false;
    session.runOnWorker([&] {
        MRTransferController& transfer = session.transfer();
        for (const QString& path : line->operands) {
            const bool exists = transfer.fileExists(path);
            // Without an answer every later item would fail the same way.
            if (!session.connected()) {
                lost = true;
                return;
            }
            if (!exists)
                problems << QStringLiteral("there is no %1 on the phone.").arg(path);
            else if (!transfer.removeFile(path))
                problems << QStringLiteral("the phone did not remove %1.").arg(path);
        }
    });
    for (const QString& problem : problems)
        failure(problem);
    if (lost) return failure(QStringLiteral("the connection to the phone was lost."));
    return problems.isEmpty() ? kExitSuccess : kExitFailure;
}

} // namespace vantle::cli
