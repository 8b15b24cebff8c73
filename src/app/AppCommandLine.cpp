#include "app/AppCommandLine.h"

#include "net/NSNetServicesWrapper.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QUrl>

namespace vantle {
namespace {

const QLatin1StringView kProgramName{"vantle"};
const QLatin1StringView kFileScheme{"file:"};
const QLatin1StringView kHiddenOption{"hidden"};

// File managers may hand over file: URLs instead of paths.
QString absolutePath(const QString& argument, const QString& workingDir) {
    const QString path = argument.startsWith(kFileScheme) ? QUrl(argument).toLocalFile() : argument;
    return QDir::cleanPath(QDir(workingDir).absoluteFilePath(path));
}

QString withHelpPointer(const QString& error) {
    return error + QStringLiteral("\nTry '%1 --help' for more information.").arg(kProgramName);
}

// Qt writes the running executable's path into the usage line; the program has one name.
QString helpTextOf(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    const qsizetype endOfUsage = text.indexOf(u'\n');
    return QStringLiteral("Usage: %1 [options] [FILE...]").arg(kProgramName) +
           (endOfUsage < 0 ? QString() : text.mid(endOfUsage));
}

} // namespace

QString AppCommandLine::backgroundStartCommand() {
    return QStringLiteral("%1 --%2").arg(kProgramName, kHiddenOption);
}

Result<AppCommandLine> AppCommandLine::parse(const QStringList& arguments,
                                             const QString& workingDir) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Moves files between this computer and the Vantle app on a phone on the "
                       "same network."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption connectOption(
        QStringLiteral("connect"),
        QStringLiteral("Connect to the phone at HOST (port 34345 unless :PORT is given)."),
        QStringLiteral("HOST[:PORT]"));
    parser.addOption(connectOption);
    const QCommandLineOption hiddenOption(
        QString(kHiddenOption),
        QStringLiteral("Start without showing the window: in the system tray when there is one, "
                       "minimized otherwise. Handed to a running Vantle, leaves its window as it "
                       "is."));
    parser.addOption(hiddenOption);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Files and folders to add to the upload queue."),
                                 QStringLiteral("[FILE...]"));

    if (!parser.parse(arguments))
        return Result<AppCommandLine>::failure(withHelpPointer(parser.errorText()));

    AppCommandLine line;
    line.helpText = helpTextOf(parser);
    const QString version = QCoreApplication::applicationVersion();
    line.versionText = version.isEmpty() ? QString(kProgramName)
                                         : QStringLiteral("%1 %2").arg(kProgramName, version);
    if (parser.isSet(helpOption)) {
        line.action = Action::ShowHelp;
        return line;
    }
    if (parser.isSet(versionOption)) {
        line.action = Action::ShowVersion;
        return line;
    }
    if (parser.isSet(connectOption)) {
        const QString address = parser.value(connectOption).trimmed();
        const auto typed = splitTypedAddress(address);
        if (!typed || typed->host.isEmpty() || address.size() > kMaxHandoverConnectLength)
            return Result<AppCommandLine>::failure(withHelpPointer(
                QStringLiteral("--connect needs HOST or HOST:PORT, not \"%1\".").arg(address)));
        line.connect = address;
    }
    if (parser.isSet(hiddenOption)) line.window = WindowRequest::Background;
    for (const QString& argument : parser.positionalArguments())
        if (!argument.isEmpty()) line.files.append(absolutePath(argument, workingDir));
    return line;
}

} // namespace vantle
