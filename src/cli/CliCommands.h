#pragma once

#include <QStringList>

// The commands of vantle-cli. Each takes the arguments after its name and returns the exit code.
namespace vantle::cli {

struct CliCommand {
    const char* name;
    const char* usage;
    const char* summary;
    int (*run)(const QStringList& arguments);
};

int runPing(const QStringList& arguments);
int runInfo(const QStringList& arguments);
int runList(const QStringList& arguments);
int runPut(const QStringList& arguments);
int runGet(const QStringList& arguments);
int runRemove(const QStringList& arguments);
int runDoctor(const QStringList& arguments);

// Exit codes shared by the commands.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

} // namespace vantle::cli
