#include "cli/CliOptions.h"

#include "cli/CliCommands.h"
#include "support/ParoxLog.h"

#include <cstdio>

namespace vantle::cli {
namespace {

const QString kAddress = QStringLiteral("--address");
const QString kApprovalWait = QStringLiteral("--wait-approval");
const QString kHelp = QStringLiteral("--help");
const QString kEndOfOptions = QStringLiteral("--");
// A day is more than anyone waits at a phone.
constexpr int kLongestApprovalWaitSeconds = 24 * 60 * 60;

// "--name value" or "--name=value"; `index` moves past what was taken.
std::optional<QString> valueOf(const QStringList& arguments, qsizetype& index,
                               const QString& name) {
    const QString& argument = arguments[index];
    if (argument.startsWith(name + QLatin1Char('='))) return argument.mid(name.size() + 1);
    if (argument != name || index + 1 >= arguments.size()) return std::nullopt;
    return arguments[++index];
}

bool isOption(const QString& argument, const QString& name) {
    return argument == name || argument.startsWith(name + QLatin1Char('='));
}

} // namespace

Result<CommandLine> parseCommandLine(const QStringList& arguments, const OptionSet& options) {
    CommandLine line;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument.size() == 1) {
            line.operands << argument;
        } else if (argument == kEndOfOptions) {
            optionsEnded = true;
        } else if (argument == kHelp) {
            line.help = true;
        } else if (options.switches.contains(argument)) {
            line.switches.insert(argument);
        } else if (options.address && isOption(argument, kAddress)) {
            const auto value = valueOf(arguments, i, kAddress);
            if (!value || value->isEmpty())
                return Result<CommandLine>::failure(
                    QStringLiteral("--address needs a value, HOST or HOST:PORT."));
            line.address = *value;
        } else if (options.approvalWait && isOption(argument, kApprovalWait)) {
            const auto value = valueOf(arguments, i, kApprovalWait);
            bool ok = false;
            const int seconds = value ? value->toInt(&ok) : 0;
            if (!ok || seconds <= 0 || seconds > kLongestApprovalWaitSeconds)
                return Result<CommandLine>::failure(
                    QStringLiteral("--wait-approval needs a number of seconds from 1 to %1.")
                        .arg(kLongestApprovalWaitSeconds));
            line.approvalWaitSeconds = seconds;
        } else {
            return Result<CommandLine>::failure(QStringLiteral("unknown option %1.").arg(argument));
        }
    }
    return line;
}

int failure(const QString& sentence) {
    ParoxLog("vantle-cli: %@", sentence);
    std::fprintf(stderr, "vantle-cli: %s\n", qUtf8Printable(sentence));
    return kExitFailure;
}

int usageError(const QString& problem, const char* usage) {
    std::fprintf(stderr, "vantle-cli: %s\nUsage: vantle-cli %s\n", qUtf8Printable(problem), usage);
    return kExitUsage;
}

int printHelp(const char* text) {
    std::fputs(text, stdout);
    return kExitSuccess;
}

} // namespace vantle::cli
