// vantle-cli: talks to a phone the way the desktop program does, for diagnostics and scripts.
#include "cli/CliCommands.h"
#include "cli/CliDiscover.h"

#include <QCoreApplication>
#include <array>
#include <cstdio>
#include <cstring>

using namespace vantle::cli;

namespace {

// One row per command: adding a command is adding a row.
constexpr std::array kCommands = {
    CliCommand{"info", "info [--address HOST[:PORT]]",
               "show who the phone is, its application and protocol version", &runInfo},
    CliCommand{"ls", "ls [PATH]", "list a folder on the phone: size, tab, name", &runList},
    CliCommand{"put", "put [--replace|--unique] FILE...", "upload files and folders to the phone",
               &runPut},
    CliCommand{"get", "get PATH [DEST]",
               "download a file or folder from the phone into DEST (default: here)", &runGet},
    CliCommand{"rm", "rm PATH...", "remove items from the phone", &runRemove},
    CliCommand{"ping", "ping [--address] HOST[:PORT]",
               "connect to a phone, show who it is, the handshake time and the ping", &runPing},
    CliCommand{"discover", "discover [--seconds N]",
               "list the phones found on the network during N seconds (default 5)", &runDiscover},
    CliCommand{"doctor", "doctor [--address HOST[:PORT]]",
               "find out why no phone can be reached, and what to do about it", &runDoctor},
};

void printUsage(std::FILE* to) {
    std::fprintf(to, "Usage: vantle-cli COMMAND [ARGUMENTS]\n\nCommands:\n");
    for (const CliCommand& command : kCommands)
        std::fprintf(to, "  %-34s %s\n", command.usage, command.summary);
    std::fprintf(
        to, "\nWithout --address HOST[:PORT] a command uses the first phone found within 5 s;\n"
            "every command but info and ping waits for the approval on the phone\n"
            "(--wait-approval SECONDS, default 60). vantle-cli COMMAND --help tells more.\n");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help")) {
        printUsage(arguments.isEmpty() ? stderr : stdout);
        return arguments.isEmpty() ? kExitUsage : kExitSuccess;
    }
    for (const CliCommand& command : kCommands)
        if (arguments.first() == QLatin1String(command.name)) return command.run(arguments.mid(1));
    std::fprintf(stderr, "vantle-cli: unknown command %s\n\n", qPrintable(arguments.first()));
    printUsage(stderr);
    return kExitUsage;
}
