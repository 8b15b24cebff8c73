#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/CliSession.h"
#include "net/GamePeer.h"

#include <cstdio>

namespace vantle::cli {
namespace {

constexpr const char* kUsage = "info [--address HOST[:PORT]]";
constexpr const char* kHelp =
    "Usage: vantle-cli info [--address HOST[:PORT]]\n"
    "\n"
    "Connects to the phone at HOST[:PORT] (port 34345 when left out) or, without --address, to\n"
    "the first phone found within 5 s, and prints who it is, one \"Label: value\" line each:\n"
    "Name, Unique ID, Address, Application, Protocol version, Uploads allowed (yes/no).\n"
    "It does not wait for the approval on the phone.\n"
    "\n"
    "Exit status: 0 when the phone answered, 1 on any failure, 2 for a usage error.\n";

void printLine(const char* label, const QString& value) {
    std::printf("%s %s\n", label, qUtf8Printable(value));
}

} // namespace

int runInfo(const QStringList& arguments) {
    const auto line = parseCommandLine(
        arguments, OptionSet{.address = true, .approvalWait = false, .switches = {}});
    if (!line) return usageError(line.error(), kUsage);
    if (line->help) return printHelp(kHelp);
    if (!line->operands.isEmpty())
        return usageError(QStringLiteral("info takes no arguments besides its options."), kUsage);

    CliSession session(*line, CliSession::Approval::NotNeeded);
    if (const auto opened = session.open(); !opened) return failure(opened.error());
    int version = -1;
    QString appName;
    bool allowUpload = true;
    session.runOnWorker(
        [&] { version = session.transfer().askClientForVersionAndInfo(&appName, &allowUpload); });
    if (version < 0)
        return failure(session.connected()
                           ? QStringLiteral("the phone did not tell its protocol version.")
                           : QStringLiteral("the connection to the phone was lost."));
    const auto phone = session.peer();
    const QString unknown = QStringLiteral("(not given)");
    printLine("Name:", phone ? phone->name().value_or(unknown) : unknown);
    printLine("Unique ID:", phone ? phone->uniqueID().value_or(unknown) : unknown);
    printLine("Address:", phone ? phone->address().value_or(unknown) : unknown);
    printLine("Application:", appName.isEmpty() ? unknown : appName);
    printLine("Protocol version:", QString::number(version));
    printLine("Uploads allowed:", allowUpload ? QStringLiteral("yes") : QStringLiteral("no"));
    std::fflush(stdout);
    return kExitSuccess;
}

} // namespace vantle::cli
