#include "app/notify/DesktopNotifier.h"

#include "app/AppNames.h"
#include "platform/DesktopNotifications.h"
#include "platform/DesktopServices.h"
#include "platform/MainThread.h"
#include "platform/Settings.h"
#include "support/ParoxLog.h"
#include "ui/MRWindow.h"

#include <QFileInfo>

namespace vantle {

DesktopNotifier::DesktopNotifier(MRWindow* window, QObject* parent)
    : QObject(parent), mWindow(window) {
    mBus.run([] { DesktopNotifications::prepareSessionBus(); });
}

std::optional<DesktopNotifier::Notice> DesktopNotifier::noticeFor(const TransferRecord& record) {
    if (record.direction == TransferDirection::Received && record.result == TransferResult::Done)
        return Notice{tr("Download Complete"), QFileInfo(record.localPath).fileName(),
                      record.localPath};
    if (record.direction == TransferDirection::Sent && record.result == TransferResult::Failed) {
        // The name comes first and whole: it is what the user looks for.
        const QString body =
            record.reason.isEmpty() ? record.name : record.name + QLatin1Char('\n') + record.reason;
        return Notice{tr("Upload Failed"), body, {}};
    }
    return std::nullopt;
}

void DesktopNotifier::notifyTransferEnded(const TransferRecord& record) {
    if (!isMainThread()) return runOn(this, [this, record] { notifyTransferEnded(record); });
    if (const std::optional<Notice> notice = noticeFor(record))
        sendNotification(notice->summary, notice->body, notice->downloadedPath);
}

void DesktopNotifier::notifyQueueEmptied(int itemsSent) {
    if (!isMainThread()) return runOn(this, [this, itemsSent] { notifyQueueEmptied(itemsSent); });
    if (itemsSent <= 0) return;
    sendNotification(tr("Transfer Complete"),
                     tr("%n file(s) were sent to your iPhone.", nullptr, itemsSent), {});
}

void DesktopNotifier::notifyKeptRunningInTray() {
    if (!isMainThread()) return runOn(this, [this] { notifyKeptRunningInTray(); });
    if (Defaults::get(settings::kToldAboutTray)) return;
    if (sendNotification(tr("Vantle Is Still Running"),
                         tr("Your files keep going to your iPhone. To quit Vantle, "
                            "choose Quit from its icon in the tray."),
                         {}))
        Defaults::set(settings::kToldAboutTray);
}

bool DesktopNotifier::sendNotification(const QString& summary, const QString& body,
                                       const QString& downloadedPath) {
    if (!mShowNotifications || (mWindow && mWindow->isFrontmost())) return false;
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
    if (!token || downloadedPath.isEmpty()) return token != 0;
    mNotifiedDownloads.insert(token, downloadedPath);
    // Tokens grow: the first entries are the oldest.
    while (mNotifiedDownloads.size() > DesktopNotifications::kRemembered)
        mNotifiedDownloads.erase(mNotifiedDownloads.begin());
    return true;
}

void DesktopNotifier::notificationShown(quint64 token, const QString& activationToken) {
    if (mWindow) mWindow->bringToFront(activationToken);
    const QString path = mNotifiedDownloads.take(token);
    if (!path.isEmpty() && !revealPath(path)) ParoxLog("could not reveal %@", path);
}

} // namespace vantle
