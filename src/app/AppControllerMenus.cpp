// The menus, their validation, the manual-mode warning and the manual-connect sheet.
#include "app/AppController.h"
#include "app/AppKeys.h"
#include "platform/Defaults.h"
#include "platform/MainThread.h"
#include "support/ParoxLog.h"
#include "support/ParoxLogger.h"
#include "ui/DirectConnectPanel.h"
#include "ui/MRWindow.h"
#include "ui/SheetPresenter.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QUrl>

namespace vantle {
namespace {

// The sheet opens a moment after its menu item, and the connection is tried a moment after the
// sheet closes, so the status line shows "Connecting..." first.
constexpr int kOpenSheetDelayMs = 500;
constexpr int kConnectDelayMs = 1000;

const char kManualModeTitle[] = "Manual Connect Mode";
const char kMenuName[] = "File";

QString unableToConnectDetail(AddServerResult code) {
    switch (code) {
    case AddServerResult::CouldNotMakePeer:
        return QStringLiteral("Ensure that you have entered the correct network address.");
    case AddServerResult::InvalidAddress:
        return QStringLiteral("Ensure that you have entered a valid network address.");
    case AddServerResult::Connecting:
    case AddServerResult::CouldNotConnect:
        break;
    }
    return QStringLiteral(
        "Ensure that your iPhone is turned on and the Vantle iPhone application is open.");
}

} // namespace

void AppController::autoConnectMenu() {
    QAction* item = mActions.value(QStringLiteral("autoConnectMenu:"));
    // The action toggled its check already; the stored value follows it.
    const bool on = item->isChecked();
    Defaults::setBool(QLatin1String(prefs::kAutoConnect), on);
    mAutoConnect = on;
    if (on) {
        if (!connected()) mClientServer->startAutoConnect();
        return;
    }
    mClientServer->stopLookingForServers();
    setStatusToConnectionStatus();
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
    const bool on = mActions.value(QStringLiteral("loggingMenu:"))->isChecked();
    Defaults::setBool(QLatin1String(prefs::kLogToFile), on);
    if (mLogger) mLogger->setLogToFile(on);
}

void AppController::notificationsMenu() {
    mShowNotifications = mActions.value(QStringLiteral("notificationsMenu:"))->isChecked();
    Defaults::setBool(QLatin1String(prefs::kShowNotifications), mShowNotifications);
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

bool AppController::validateSelector(const QString& action) const {
    if (action == QLatin1String("directConnect:")) return !connectedOrConnecting();
    return true;
}

void AppController::validateMenus() {
    for (auto it = mActions.cbegin(); it != mActions.cend(); ++it) {
        // The add-files item follows whether the phone takes uploads (set with the status).
        if (it.key() == QLatin1String("addFileToQueue:")) continue;
        it.value()->setEnabled(validateSelector(it.key()));
    }
}

void AppController::directConnect() {
    performAfterDelay(this, kOpenSheetDelayMs, [this] { doDirectConnect(); });
}

void AppController::doDirectConnect() {
    auto* panel = new DirectConnectPanel(_window);
    panel->setAddress(Defaults::value(QLatin1String(prefs::kLastManualIP)).toString());
    mPresenter->showSheet(panel, [this, panel](int result) {
        const QString text = panel->address();
        panel->deleteLater();
        if (result != DirectConnectPanel::Accepted) return;
        setStatusLine(QStringLiteral("Connecting..."));
        performAfterDelay(this, kConnectDelayMs, [this, text] { doDirectConnectOkay(text); });
    });
}

void AppController::connectToTypedAddress(const QString& text) {
    setStatusLine(QStringLiteral("Connecting..."));
    doDirectConnectOkay(text);
}

void AppController::doDirectConnectOkay(const QString& typed) {
    const QString text = typed.trimmed();
    Defaults::setValue(QLatin1String(prefs::kLastManualIP), text);
    ParoxLog("doDirectConnectOkay: %@", text);
    if (text.isEmpty()) {
        setStatusToConnectionStatus();
        return;
    }
    const AddServerResult code = mClientServer->addServer(text);
    if (code == AddServerResult::Connecting) {
        mTypedAddress = text;
        return;
    }
    setStatusToConnectionStatus();
    mPresenter->show({QStringLiteral("Unable To Connect"),
                      QStringLiteral("Unable to connect to the specified address.  ") +
                          unableToConnectDetail(code),
                      {QStringLiteral("OK")},
                      {},
                      SheetPresenter::Message::Kind::Alert},
                     [](const QString&, bool) {});
}

void AppController::openLink(const QString& url) {
    if (url.isEmpty()) return;
    if (!QDesktopServices::openUrl(QUrl(url))) ParoxLog("could not open %@", url);
}

} // namespace vantle
