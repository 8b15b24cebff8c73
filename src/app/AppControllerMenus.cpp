// The menus' settings, their validation, the manual-mode warning and the preferences.
#include "app/AppCommandLine.h"
#include "app/AppController.h"
#include "app/notify/DesktopNotifier.h"
#include "app/prefs/PreferencesDialog.h"
#include "app/status/ConnectionStatus.h"
#include "platform/Autostart.h"
#include "platform/MainThread.h"
#include "platform/Settings.h"
#include "support/ParoxLog.h"
#include "support/ParoxLogger.h"
#include "ui/MRWindow.h"
#include "ui/SheetPresenter.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QUrl>

namespace vantle {
namespace {

const char kManualModeTitle[] = QT_TRANSLATE_NOOP("vantle::AppController", "Manual Connect Mode");
//: The File menu's name as a text names it, without its "&"
const char kMenuName[] = QT_TRANSLATE_NOOP("vantle::AppController", "File");
// How the program is named in the desktop's list of what starts at login.
const char kProgramTitle[] = "Vantle";

} // namespace

void AppController::autoConnectMenu() {
    // The action toggled its check already; the stored value follows it.
    const bool on = mActions.autoConnect->isChecked();
    Defaults::set(settings::kAutoConnect, on);
    mStatus->setAutoConnect(on);
    if (on) {
        if (!connected()) mClientServer->startAutoConnect();
        return;
    }
    mClientServer->stopLookingForServers();
    mStatus->setStatusToConnectionStatus();
    mPresenter->tell(tr(kManualModeTitle),
                     tr("Vantle is no longer searching for iPhones.  To make a "
                        "connection, you must use the \"Manual Connect...\" menu "
                        "option."),
                     SheetPresenter::Kind::Alert);
}

void AppController::loggingMenu() {
    const bool on = mActions.logging->isChecked();
    Defaults::set(settings::kLogToFile, on);
    if (mLogger) mLogger->setLogToFile(on);
}

void AppController::notificationsMenu() {
    const bool on = mActions.notifications->isChecked();
    mNotifier->setShowNotifications(on);
    Defaults::set(settings::kShowNotifications, on);
}

void AppController::warnAboutAutomatic() {
    const QString message =
        tr("Vantle is not searching for iPhones.\n\nTo make a "
           "connection, choose \"Automatically Connect\" from the %1 menu, or use the "
           "\"Manual Connect...\" menu option.")
            .arg(tr(kMenuName));
    mPresenter->show({tr(kManualModeTitle),
                      message,
                      {{tr("OK"), SheetPresenter::Role::Accept},
                       {tr("Don't Remind Me Again"), SheetPresenter::Role::DontRemind}},
                      std::nullopt,
                      SheetPresenter::Kind::Alert},
                     [](SheetPresenter::Role role, bool) {
                         if (role == SheetPresenter::Role::DontRemind)
                             Defaults::set(settings::kDontWarnAboutManual);
                     });
}

void AppController::showPreferences() {
    if (!mPreferences)
        mPreferences = new PreferencesDialog(
            {*mPresenter,
             {mActions.autoConnect, mActions.logging, mActions.notifications},
             [this] { return _transfer->rootDir(); },
             Autostart({QLatin1String(kDesktopEntry), QLatin1String(kProgramTitle),
                        AppCommandLine::backgroundStartCommand()})},
            _window);
    mPreferences->present();
}

void AppController::validateMenus() {
    // The add-files item follows whether the phone takes uploads (set with the status).
    mActions.directConnect->setEnabled(!mStatus->connectedOrConnecting());
}

void AppController::openLink(const QString& url) {
    if (url.isEmpty()) return;
    if (!QDesktopServices::openUrl(QUrl(url))) ParoxLog("could not open %@", url);
}

} // namespace vantle
