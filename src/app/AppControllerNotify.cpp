// Desktop notifications for what happens while the user looks elsewhere, and their "Show".
#include "app/AppController.h"
#include "platform/DesktopNotifications.h"
#include "platform/DesktopServices.h"
#include "platform/MainThread.h"
#include "support/ParoxLog.h"
#include "ui/MRWindow.h"

#include <QApplication>
#include <QFileInfo>

namespace vantle {

void AppController::notifyDownloadArrived(const QString& path) {
    if (!isMainThread()) return runOn(this, [this, path] { notifyDownloadArrived(path); });
    sendNotification(QStringLiteral("Download Complete"), QFileInfo(path).fileName(), path);
}

void AppController::notifyQueueEmptied(int itemsSent) {
    if (!isMainThread()) return runOn(this, [this, itemsSent] { notifyQueueEmptied(itemsSent); });
    if (itemsSent <= 0) return;
    const QString body = itemsSent == 1
                             ? QStringLiteral("1 file was sent to your iPhone.")
                             : QStringLiteral("%1 files were sent to your iPhone.").arg(itemsSent);
    sendNotification(QStringLiteral("Transfer Complete"), body, {});
}

void AppController::notifyUploadFailed(const QString& name, const QString& reason) {
    if (!isMainThread())
        return runOn(this, [this, name, reason] { notifyUploadFailed(name, reason); });
    // The name comes first and whole: it is what the user looks for.
    const QString body = reason.isEmpty() ? name : name + QLatin1Char('\n') + reason;
    sendNotification(QStringLiteral("Upload Failed"), body, {});
}

bool AppController::windowIsActive() const {
    if (!_window || !_window->isVisible() || _window->isMinimized()) return false;
    // A sheet or dialog of the window in front counts as the window.
    for (const QWidget* shown = QApplication::activeWindow(); shown; shown = shown->parentWidget())
        if (shown == _window) return true;
    return false;
}

void AppController::bringWindowToFront() {
    if (!_window) return;
    _window->show();
    _window->setWindowState(_window->windowState() & ~Qt::WindowMinimized);
    _window->raise();
    _window->activateWindow();
}

void AppController::sendNotification(const QString& summary, const QString& body,
                                     const QString& downloadedPath) {
    if (!mShowNotifications || windowIsActive()) return;
    if (!mNotifications) {
        mNotifications = new DesktopNotifications(
            {QLatin1String(kLocalAppName), QLatin1String(kDesktopEntry), {}}, this);
        connect(mNotifications, &DesktopNotifications::unavailable, this,
                [](const QString& reason) { ParoxLog("notifications unavailable: %@", reason); });
        connect(mNotifications, &DesktopNotifications::actionInvoked, this,
                [this](quint64 token, const QString&) { notificationShown(token); });
        connect(mNotifications, &DesktopNotifications::closed, this,
                [this](quint64 token) { mNotifiedDownloads.remove(token); });
    }
    const quint64 token = mNotifications->notify(summary, body);
    if (!token || downloadedPath.isEmpty()) return;
    mNotifiedDownloads.insert(token, downloadedPath);
    // Tokens grow: the first entries are the oldest.
    while (mNotifiedDownloads.size() > DesktopNotifications::kRemembered)
        mNotifiedDownloads.erase(mNotifiedDownloads.begin());
}

void AppController::notificationShown(quint64 token) {
    bringWindowToFront();
    const QString path = mNotifiedDownloads.take(token);
    if (!path.isEmpty() && !revealPath(path)) ParoxLog("could not reveal %@", path);
}

} // namespace vantle
