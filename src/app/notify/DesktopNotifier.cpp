#include "app/notify/DesktopNotifier.h"

#include "app/AppNames.h"
#include "platform/DesktopNotifications.h"
#include "platform/DesktopServices.h"
#include "platform/MainThread.h"
#include "support/ParoxLog.h"
#include "ui/MRWindow.h"

#include <QFileInfo>

namespace vantle {

DesktopNotifier::DesktopNotifier(MRWindow* window, QObject* parent)
    : QObject(parent), mWindow(window) {
    mBus.run([] { DesktopNotifications::prepareSessionBus(); });
}

void DesktopNotifier::notifyDownloadArrived(const QString& path) {
    if (!isMainThread()) return runOn(this, [this, path] { notifyDownloadArrived(path); });
    sendNotification(QStringLiteral("Download Complete"), QFileInfo(path).fileName(), path);
}

void DesktopNotifier::notifyQueueEmptied(int itemsSent) {
    if (!isMainThread()) return runOn(this, [this, itemsSent] { notifyQueueEmptied(itemsSent); });
    if (itemsSent <= 0) return;
    const QString body = itemsSent == 1
                             ? QStringLiteral("1 file was sent to your iPhone.")
                             : QStringLiteral("%1 files were sent to your iPhone.").arg(itemsSent);
    sendNotification(QStringLiteral("Transfer Complete"), body, {});
}

void DesktopNotifier::notifyUploadFailed(const QString& name, const QString& reason) {
    if (!isMainThread())
        return runOn(this, [this, name, reason] { notifyUploadFailed(name, reason); });
    // The name comes first and whole: it is what the user looks for.
    const QString body = reason.isEmpty() ? name : name + QLatin1Char('\n') + reason;
    sendNotification(QStringLiteral("Upload Failed"), body, {});
}

void DesktopNotifier::sendNotification(const QString& summary, const QString& body,
                                       const QString& downloadedPath) {
    if (!mShowNotifications || (mWindow && mWindow->isFrontmost())) return;
    if (!mNotifications) {
        mNotifications = new DesktopNotifications(
            {QLatin1String(names::kLocalAppName), QLatin1String(names::kDesktopEntry), {}}, this);
        connect(mNotifications, &DesktopNotifications::unavailable, this,
                [](const QString& reason) { ParoxLog("notifications unavailable: %@", reason); });
        connect(mNotifications, &DesktopNotifications::actionInvoked, this,
                [this](quint64 token, const QString&, const QString& activationToken) {
                    notificationShown(token, activationToken);
                });
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

void DesktopNotifier::notificationShown(quint64 token, const QString& activationToken) {
    if (mWindow) mWindow->bringToFront(activationToken);
    const QString path = mNotifiedDownloads.take(token);
    if (!path.isEmpty() && !revealPath(path)) ParoxLog("could not reveal %@", path);
}

} // namespace vantle
