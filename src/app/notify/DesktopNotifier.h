#pragma once

#include "app/TransferRecord.h"
#include "platform/BackgroundWork.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <optional>

namespace vantle {

class DesktopNotifications;
class MRWindow;

// Desktop notifications of what happens while the user looks elsewhere: each is sent only while
// the window is not the one in front and "Show Notifications" is on. "Show" on one raises the
// window (with the activation token the server sent, where it sent one); for a download it also
// reveals the file in the file manager. Callable from any thread.
class DesktopNotifier final : public QObject {
    Q_OBJECT

public:
    explicit DesktopNotifier(MRWindow* window, QObject* parent = nullptr);

    bool showNotifications() const { return mShowNotifications; }
    void setShowNotifications(bool on) { mShowNotifications = on; }

    // What a notification of an item's end says; the download it reveals, if any.
    struct Notice {
        QString summary;
        QString body;
        QString downloadedPath;
    };
    // The notification an item's end gets; none for the ends that are not told one by one (an
    // item sent, stopped, or a download that did not arrive).
    static std::optional<Notice> noticeFor(const TransferRecord& record);
    void notifyTransferEnded(const TransferRecord& record);

    // The queue has emptied after uploads; `itemsSent` of them went (none: nothing is sent).
    void notifyQueueEmptied(int itemsSent);
    // The window was closed and the program keeps running in the tray: said once ever.
    void notifyKeptRunningInTray();

private:
    // False when it was not sent (the setting is off, or the window is in front).
    bool sendNotification(const QString& summary, const QString& body,
                          const QString& downloadedPath);
    void notificationShown(quint64 token, const QString& activationToken);

    MRWindow* mWindow = nullptr;
    bool mShowNotifications = true;
    // Made with the first notification, so that no bus is opened before one is needed.
    DesktopNotifications* mNotifications = nullptr;
    // The downloads of the notifications still on show, by token; bounded like their tokens.
    QMap<quint64, QString> mNotifiedDownloads;
    // Connects to the session bus ahead of the first notification. Last, so that it goes first.
    BackgroundWork mBus{1};
};

} // namespace vantle
