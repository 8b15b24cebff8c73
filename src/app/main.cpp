// vantle: the desktop program. Parses its command line before anything needs a display, so that
// --help and --version work anywhere; a second start hands its files to the running program.
#include "app/AppCommandLine.h"
#include "app/AppController.h"
#include "app/AppDelegate.h"
#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "app/Translations.h"
#include "files/FSNodeInfo.h"
#include "net/NetworkThread.h"
#include "platform/Defaults.h"
#include "platform/WindowActivation.h"
#include "support/ParoxLogger.h"
#include "ui/MRWindow.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLocale>
#include <QStandardPaths>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// How long the end of the program waits for the network thread.
constexpr int kNetworkStopMs = 2000;
// How long it waits for folders being measured: a size no one will see.
constexpr std::chrono::milliseconds kFolderSizesStopLimit{500};

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setOrganizationName(QStringLiteral("Vantle"));
    QCoreApplication::setApplicationName(QStringLiteral("Vantle"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTLE_VERSION));

    const auto line = vantle::AppCommandLine::parse(argumentsOf(argc, argv), QDir::currentPath());
    if (!line) {
        std::fprintf(stderr, "vantle: %s\n", qUtf8Printable(line.error()));
        return kExitUsage;
    }
    switch (line->action) {
    case vantle::AppCommandLine::Action::ShowHelp:
        std::fputs(qUtf8Printable(line->helpText), stdout);
        return kExitSuccess;
    case vantle::AppCommandLine::Action::ShowVersion:
        std::fputs(qUtf8Printable(line->versionText), stdout);
        return kExitSuccess;
    case vantle::AppCommandLine::Action::Run:
        break;
    }

    // Before the platform starts, which takes an X11 startup id out of the environment.
    vantle::HandoverMessage handover = line->handover();
    handover.activationToken = vantle::startupActivationToken();

    QApplication app(argc, argv);
    Q_INIT_RESOURCE(app);
    // Before any widget: the user's languages (LANGUAGE, then LC_ALL, LC_MESSAGES, LANG).
    vantle::translations::install(app, QLocale::system().uiLanguages());
    // Desktops match the window to its desktop entry and icon by this name.
    QGuiApplication::setDesktopFileName(QLatin1String(vantle::AppController::kDesktopEntry));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QLatin1String(vantle::AppController::kDesktopEntry),
                         QIcon(QStringLiteral(":/app/vantle.svg"))));
    vantle::SingleInstance instance(
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    const auto role = instance.claim(handover);
    if (!role) {
        std::fprintf(stderr, "vantle: %s\n", qUtf8Printable(role.error()));
        return kExitFailure;
    }
    if (*role == vantle::SingleInstance::Role::HandedOver) return kExitSuccess;

    vantle::AppController controller;
    vantle::AppDelegate delegate(controller);
    // A later start is told its files are taken once the queue file holds them: it may be
    // followed at once by the end of this program (a logout right after "Open With").
    instance.setReceiver(
        [&delegate](const vantle::HandoverMessage& message, vantle::SingleInstance::Reply reply) {
            delegate.openFiles(message, std::move(reply));
        });
    // Logout, Ctrl+C and a closed terminal end the program as its Quit item does, even while
    // the window waits on a slow phone or is in the tray.
    vantle::TerminationSignals quitSignals([&controller] { controller.quit(); },
                                           [&controller] { controller.interruptForQuit(); });
    if (controller.awakeFromNib()) {
        delegate.showWindowAtStart(line->window);
        delegate.openFiles(line->handover());
    }
    const int status = app.exec();
    // Connections close first, then the network thread ends, so nothing of it runs while the
    // objects it served are torn down.
    controller.shutDown();
    vantle::stopNetworkThread(kNetworkStopMs);
    vantle::FSNodeInfo::stopFolderSizes(kFolderSizesStopLimit);
    // A worker past its limit may still run: end without the static destructors it could race
    // with. Settings, the queue (by shutDown) and the log are written first.
    vantle::Defaults::sync();
    if (const auto logger = vantle::ParoxLogger::defaultLogger()) logger->flush();
    std::fflush(stdout);
    std::fflush(stderr);
    std::quick_exit(status);
}
