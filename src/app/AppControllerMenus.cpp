// The menus' settings, their validation and the manual-mode warning.
#include "app/AppController.h"
#include "app/AppKeys.h"
#include "app/notify/DesktopNotifier.h"
#include "app/status/ConnectionStatus.h"
#include "platform/Defaults.h"
#include "platform/MainThread.h"
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

const char kManualModeTitle[] = "Manual Connect Mode";
const char kMenuName[] = "File";

} // namespace

void AppController::autoConnectMenu() {
    // The action toggled its check already; the stored value follows it.
    const bool on = mActions.autoConnect->isChecked();
    Defaults::setBool(QLatin1String(prefs::kAutoConnect), on);
    mStatus->setAutoConnect(on);
    if (on) {
        if (!connected()) mClientServer->startAutoConnect();
        return;
    }
    mClientServer->stopLookingForServers();
    mStatus->setStatusToConnectionStatus();
    mPresenter->show({QLatin1String(kManualModeTitle),
                      QStringLiteral("Vantle is no longer searching for iPhones.  To make a "
                                     "connection, you must use the \"Manual Connect...\" menu "
                                     "option."),
                      {QStringLiteral("OK")},
                      {},
                      SheetPresenter::Message::Kind::Alert},
                     [](const QString&, bool) {});
}

void AppController::loggingMenu() {
    const bool on = mActions.logging->isChecked();
    Defaults::setBool(QLatin1String(prefs::kLogToFile), on);
    if (mLogger) mLogger->setLogToFile(on);
}

void AppController::notificationsMenu() {
    const bool on = mActions.notifications->isChecked();
    mNotifier->setShowNotifications(on);
    Defaults::setBool(QLatin1String(prefs::kShowNotifications), on);
}

void AppController::warnAboutAutomatic() {
    const QString message =
        QStringLiteral("Vantle is not searching for iPhones.\n\nTo make a "
                       "connection, choose \"Automatically Connect\" from the ") +
        QLatin1String(kMenuName) +
        QStringLiteral(" menu, or use the \"Manual Connect...\" menu option.");
    mPresenter->show({QLatin1String(kManualModeTitle),
                      message,
                      {QStringLiteral("OK"), QStringLiteral("Don't Remind Me Again")},
                      {},
                      SheetPresenter::Message::Kind::Alert},
                     [](const QString& button, bool) {
                         if (button == QLatin1String("Don't Remind Me Again"))
                             Defaults::setBool(QLatin1String(prefs::kDontWarnAboutManual), true);
                     });
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
