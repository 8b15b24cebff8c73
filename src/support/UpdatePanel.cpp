#include "support/UpdatePanel.h"

namespace vantle {

QString UpdatePanel::okButton() {
    return QStringLiteral("OK");
}

QString UpdatePanel::goThereNowButton() {
    return QStringLiteral("Go There Now");
}

UpdatePanel UpdatePanel::updateAvailable(const QUrl& webSite) {
    UpdatePanel panel;
    panel.kind = Kind::UpdateAvailable;
    panel.title = QStringLiteral("Update Available");
    const QString host = webSite.isValid() ? webSite.host() : QString();
    const QString intro = QStringLiteral("A ") + productNameForPlatform();
    if (host.isEmpty()) {
        panel.message = intro + QStringLiteral(" update is available.");
        panel.buttons = {okButton()};
    } else {
        panel.message = intro + QStringLiteral(" update is available at ") + host + u'.';
        panel.buttons = {okButton(), goThereNowButton()};
    }
    return panel;
}

UpdatePanel UpdatePanel::upToDate() {
    UpdatePanel panel;
    panel.kind = Kind::UpToDate;
    panel.title = QStringLiteral("No Update Available");
    panel.message = QStringLiteral("You are running the latest version of the ") +
                    productNameForPlatform() + u'.';
    panel.buttons = {okButton()};
    return panel;
}

UpdatePanel UpdatePanel::checkFailed() {
    UpdatePanel panel;
    panel.kind = Kind::CheckFailed;
    panel.title = QStringLiteral("Unable to Check for Updates");
    panel.message = QStringLiteral(
        "Vantle was unable to determine if an update is available.  Please try again later.");
    panel.buttons = {okButton()};
    return panel;
}

QString productNameForPlatform() {
#if defined(Q_OS_WIN)
    return QStringLiteral("Vantle for Windows");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("Vantle for Mac");
#elif defined(Q_OS_LINUX)
    return QStringLiteral("Vantle for Linux");
#else
    return QStringLiteral("Vantle");
#endif
}

} // namespace vantle
