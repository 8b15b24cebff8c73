#pragma once

#include "platform/HandoverMessage.h"
#include "platform/Result.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace vantle {

// The program's command line: vantle [--hidden] [--connect HOST[:PORT]] [FILE...], plus --help
// and --version. Parsing never ends the process; the caller prints the texts and decides.
struct AppCommandLine {
    enum class Action { Run, ShowHelp, ShowVersion };

    Action action = Action::Run;
    // The address to connect to at start, as the manual-connect sheet would.
    std::optional<QString> connect;
    // --hidden: the window stays out of sight (a start at login), and a second start that hands
    // over its files leaves the running program's window where it is.
    WindowRequest window = WindowRequest::Show;
    // Absolute and cleaned, in the order given.
    QStringList files;
    QString helpText;
    QString versionText;

    // `arguments` starts with the program's own name, as QCoreApplication::arguments() does;
    // relative paths are taken from `workingDir`. An unknown option or a malformed address is an
    // error whose text ends with a pointer to --help. The version is the application's.
    static Result<AppCommandLine> parse(const QStringList& arguments, const QString& workingDir);

    // What a second start hands to the running program.
    HandoverMessage handover() const { return {files, connect, window}; }

    // How the desktop starts the installed program in the background.
    static QString backgroundStartCommand();
};

} // namespace vantle
