#pragma once

#include "platform/Result.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace vantle::cli {

inline constexpr int kDefaultApprovalWaitSeconds = 60;

// What a command was given. Options may stand anywhere after the command; "--" ends them.
struct CommandLine {
    std::optional<QString> address;                        // --address HOST[:PORT]
    int approvalWaitSeconds = kDefaultApprovalWaitSeconds; // --wait-approval SECONDS
    QSet<QString> switches;                                // the command's own, as given
    QStringList operands;
    bool help = false;
};

// Which options a command takes besides --help.
struct OptionSet {
    bool address = true;
    bool approvalWait = true;
    QStringList switches; // e.g. "--replace"
};

// The command line, or a sentence that says what is wrong with it.
Result<CommandLine> parseCommandLine(const QStringList& arguments, const OptionSet& options);

// One sentence on standard error, "vantle-cli: " in front; returns the failure exit status.
int failure(const QString& sentence);
// The problem and the usage line on standard error; returns the usage exit status.
int usageError(const QString& problem, const char* usage);
// The help text on standard output; returns success.
int printHelp(const char* text);

} // namespace vantle::cli
