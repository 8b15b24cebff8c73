#pragma once

#include "app/PhoneDataSource.h"
#include "app/PhoneHost.h"
#include "app/QueueHost.h"
#include "app/UploadPartials.h"
#include "app/UploadProgressText.h"
#include "platform/DesktopServices.h"
#include "platform/NotificationCenter.h"
#include "support/UpdaterHost.h"
#include "transfer/ClientServerController.h"
#include "transfer/ClientServerHost.h"
#include "transfer/MRTransferController.h"
#include "ui/ReportDialog.h"

#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class QAction;
class QBoxLayout;
class QLabel;
class QMenu;
class QProgressBar;
class QTimer;
class QToolButton;
class QWidget;

namespace vantle {

class CRExceptionLogger;
class DesktopNotifications;
class FSNodeInfo;
class IDDragTableView;
class MRCoolTextView;
class MRSplitView;
class MRWindow;
class ParoxLogger;
class SUUpdater;
class QueueDataSource;
class SheetPresenter;

// The one controller of the program's window: start-up, the connection state the user sees,
// the menus and the manual-connect sheet, the queue's intake; it owns the transfer layer. Lives
// on the main thread (queueTableChanged may be called from any thread).
class AppController final : public QObject,
                            public ClientServerHost,
                            public QueueHost,
                            public UpdaterHost,
                            public PhoneHost {
    Q_OBJECT

public:
    // The phone's name as the status shows it before a phone has told its own.
    static constexpr const char* kLocalAppName = "Vantle";
    // The desktop entry's and the icon's name, by which desktops match windows and notifications
    // to the program.
    static constexpr const char* kDesktopEntry = "invalid.vantle.Vantle";

    explicit AppController(QObject* parent = nullptr);
    ~AppController() override;
    AppController(const AppController&) = delete;
    AppController& operator=(const AppController&) = delete;

    // The start-up of the window in its documented order. False when the program cannot run
    // (the DNS-SD library is missing): an alert then ends the process once answered.
    bool awakeFromNib();
    // Disconnects and stops what runs, so that the process can end promptly; the queue file
    // holds the queue first.
    void shutDown();
    // Any thread, as a quit begins: ends at once every wait on the phone (a request the main
    // thread or a worker waits in, an upload), so that the quit is not held up by a slow phone.
    void interruptForQuit();

    // Files may be dropped on the queue: not while a sheet is open.
    bool acceptsDrops() const;

    // --- Connection state (main thread) ---
    bool connected() const override;
    bool connectedOrConnecting() const;
    bool connectionGranted() const { return mConnectionGranted; }
    bool allowUpload() const { return mAllowUpload; }
    QStringList phonesToIgnore() const { return mIgnoredPhones; }
    const QMap<QString, QString>& dropDestinations() const { return mDropDestinations; }

    // --- ClientServerHost ---
    void setStatusToConnectionStatus() override;
    void startedDiscovery() override;
    void showAlert(const QString& title, const QString& message) override;
    void logAlert(const QString& title, const QString& message) override;
    bool isIgnored(const QString& address) const override;
    bool shouldAutoConnect() const override { return mAutoConnect; }
    bool suspendLookingForServers() const override { return mSuspendConnectingForNow; }

    // --- QueueHost ---
    void queueTableChanged() override;
    void stopButton() override;
    void removeIfInTempQueue(const QString& path) override;

    // --- Queue intake ---
    // Files handed to the program (command line, file manager, a second start), taken in a
    // moment later; then `whenSaved` once the queue file holds them.
    void filesDroppedOnDock(const QStringList& paths, WhenSaved whenSaved = {});
    void addToQueue(const QStringList& paths, WhenSaved whenSaved = {});
    void doAddToQueue(const QStringList& paths);
    void doAddToQueueTemp(const QStringList& paths);
    // The plus button and "Add Files...": an open dialog as a sheet.
    void addFileToQueue();

    // --- Menus and manual connect ---
    void autoConnectMenu();
    void loggingMenu();
    void warnAboutAutomatic();
    bool validateSelector(const QString& action) const;
    void directConnect();
    void doDirectConnect();
    // Connects to a typed address ("HOST" or "HOST:PORT") as the sheet's connect button does,
    // without the sheet (the command line's --connect).
    void connectToTypedAddress(const QString& text);

    // --- UpdaterHost ---
    void showUpdatePanel(const UpdatePanel& panel,
                         std::function<void(const QString& button)> done) override;
    void openWebSite() override;

    // --- Help (AppControllerHelp.cpp) ---
    void checkForUpdates();
    // The diagnostics report in a window of its own, with a Copy button.
    void showConnectionDiagnostics();
    ReportDialog* diagnosticsDialog() const { return mDiagnostics; }

    // --- Desktop notifications (AppControllerNotify.cpp); callable from any thread ---
    // Each sends one notification, only while the window is not the active one and "Show
    // Notifications" is on. "Show" on it raises the window; for a download it also reveals the
    // file in the file manager.
    // A downloaded file has arrived at `path`.
    void notifyDownloadArrived(const QString& path);
    // The queue has emptied after uploads; `itemsSent` of them went (none: nothing is sent).
    void notifyQueueEmptied(int itemsSent);
    // The upload of the item called `name` failed; `reason` in the user's words, may be empty.
    void notifyUploadFailed(const QString& name, const QString& reason);
    void notificationsMenu();
    // The window, or a sheet or dialog of it, is the one in front.
    bool windowIsActive() const;
    // Shows, restores, raises and activates the window.
    void bringWindowToFront();

    // --- Upload flow (AppControllerUpload.cpp) ---
    void setupUploadUI();
    void startUploadIfWeCan();
    // The line beside the name of the item being uploaded; empty when none is.
    QString uploadDetails() const;

    // --- The phone's files and downloads (AppControllerPhone.cpp) ---
    // Lists the phone's files on a worker; their icons and sizes follow on another.
    void refreshPhoneListing();
    bool requestFile(const QString& path) override;
    void cancelDownload() override;
    bool removeFile(const QString& path) override;
    void forgetDropDestination(const QString& path) override;
    // Downloads `path` into `folder`, where it is neither opened nor revealed.
    void downloadTo(const QString& path, const QString& folder);
    // How a finished download reaches the desktop: opened with its application, or shown in the
    // file manager. The desktop's own by default; tests record the calls instead.
    struct DesktopOpener {
        std::function<bool(const QString&)> open = openPath;
        std::function<bool(const QString&)> reveal = revealPath;
    };
    void setDesktopOpener(DesktopOpener opener) { mOpener = std::move(opener); }
    PhoneDataSource* phoneDataSource() const { return mPhone; }
    QProgressBar* downloadBar() const { return downloadProgressIndicator; }
    QStringList receivingFiles() const { return mReceivingFiles; }
    // The queued item being sent, or whose failure a sheet is asking about; empty when none.
    QString currentUploadPath() const;

    // --- What the window shows, for the program's scripts and the tests ---
    MRWindow* window() const { return _window; }
    SheetPresenter* presenter() const { return mPresenter; }
    QueueDataSource* queueDataSource() const { return mQueue; }
    IDDragTableView* queueTable() const { return queueTable_; }
    IDDragTableView* phoneTable() const { return phoneTable_; }
    MRSplitView* splitView() const { return mRBSplitView; }
    MRCoolTextView* helpfulMessage() const { return helpfulMessage_; }
    QString statusText() const;
    QString topHeading() const;
    QString phoneHeading() const;
    bool plusButtonEnabled() const;
    QAction* action(const QString& name) const;
    MRTransferController& transfer() { return *_transfer; }
    ClientServerController& clientServer() { return *mClientServer; }

signals:
    // The status line changed (tests and the demo wait for it).
    void statusChanged(const QString& status);

private:
    // Building the window (AppControllerWindow.cpp).
    void buildWindow();
    void buildMenus();
    void buildQueuePane(QWidget* pane);
    void buildPhonePane(QWidget* pane);

    // Start-up and status (AppControllerStartup.cpp).
    void observeNotifications();
    void setStatusLine(const QString& text);
    void setLastConnection();
    void doSetStatus();
    void updateMessageThing();
    void doUpdateMessageThing();
    void resizeViews(bool readOnly);
    void connectionGranted(const Notification& note);
    void connectionDenied(const Notification& note);
    void askRefused(bool tryAgain, const QString& phoneAddress);

    // Menus (AppControllerMenus.cpp).
    void validateMenus();
    void doDirectConnectOkay(const QString& text);
    void openLink(const QString& url);

    // Desktop notifications (AppControllerNotify.cpp).
    void sendNotification(const QString& summary, const QString& body,
                          const QString& downloadedPath);
    void notificationShown(quint64 token);

    // Queue rows and intake (AppControllerQueue.cpp).
    enum class IntakeSource {
        Table, // dropped on the queue table or its message
        Dock,  // handed to the program: may be print output to move into the temporary queue
    };
    enum class AfterIntake { StartUploads, OnlyQueue };
    struct Intake {
        IntakeSource source;
        QStringList paths;
        WhenSaved whenSaved;
    };
    void connectQueueTable();
    void scheduleIntake(Intake intake);
    // Takes in the files that wait for their drag to end, in the order they came.
    void takeInWaitingFiles(AfterIntake after);

    // Upload flow (AppControllerUpload.cpp).
    enum class UploadPhase {
        Idle,    // no item is being sent
        Sending, // the worker runs, or its result is on its way to the main thread
        Failed,  // the item's sheet is pending or open
    };
    enum class ClashAnswer { Replace, Cancel, MakeUnique };
    void buildUploadRow(QWidget* pane, QBoxLayout* layout);
    void startAnUpload();
    // Starts the worker: remains of items no longer queued go first, then `node`, if any, whose
    // upload sends `total` bytes.
    void startUploadWorker(const std::shared_ptr<FSNodeInfo>& node, quint64 total);
    void uploadThread(const std::shared_ptr<FSNodeInfo>& node, quint64 total,
                      const QString& phoneID);
    // The worker's part of one item: what the phone holds of an earlier try, the name, then the
    // upload and the clean-up of what a failure left.
    std::int32_t uploadItem(FSNodeInfo& node, quint64 total, const QString& phoneID);
    void removeLeftovers(const QString& phoneID, const QStringList& queued);
    enum class PartialState {
        Gone,       // nothing is left at its name (it was removed, or is no longer there)
        StillThere, // it could not be removed
        NotOurs,    // the phone holds more there than was ever sent: it is left alone
    };
    PartialState removeOwnPartial(const UploadPartials::Partial& partial);
    // The unique ID the connected phone gave; empty without one. Any thread.
    QString connectedPhoneID() const;
    void uploadFinished(std::int32_t result);
    void displayError(std::int32_t result);
    void askReplace(ClashAnswer answer);
    void finishedError();
    void askTryAgain(bool tryAgain);
    void removeCurrentUpload();
    void waitForThreadToFinish();
    void checkForFinished();
    void joinUploadWorker();
    // The phone's files (AppControllerPhone.cpp).
    void connectPhoneTable();
    void gotListing(const std::optional<QMap<QString, ListingEntry>>& listing);
    void listingArrived(const std::optional<QMap<QString, ListingEntry>>& listing);
    void updateSizesAndIcons();
    void iconsArrived(const std::optional<PhoneIconsAndSizes>& answer);
    void gotIconsAndSizes(const PhoneIconsAndSizes& answer);
    // The PC wrote or removed `path` on the phone: its old icon and size are asked for again.
    void phoneItemChanged(const QString& path);
    // The cached icon and size of `path` dropped, and any answer for it still on its way.
    void forgetIconAndSize(const QString& path);
    void startPhoneWorker(std::function<void()> work);
    void waitForPhoneWorkers();
    bool requestNextFile();
    void askDownloadTo(int row);
    void downloadProgress(const Notification& note);
    void fileDownloaded(bool finished);
    // The item `asked` (top-level `root`) was moved into place off the main thread, or not.
    void downloadMovedIntoPlace(const QString& asked, const QString& root,
                                const std::optional<QString>& folder,
                                const Result<QString>& finalFile);
    // The download in front has ended: its row, the next one.
    void endDownload(const QString& asked);
    // The download under way ended without its item; the user is told why.
    void downloadFailed(const Notification& note);
    enum class DownloadFailure { NotSaved, NotReceived };
    void hideDownloadBar();
    void showDownloadFailure(const QString& name, const QString& error,
                             DownloadFailure failure = DownloadFailure::NotSaved);
    void phoneConnectionLost();
    void askToRemove(const QStringList& paths);

    // The transfer layer: the transfer controller owns the response slot the client-server
    // controller is made with, so it is made first and destroyed last.
    std::unique_ptr<MRTransferController> _transfer;
    std::unique_ptr<ClientServerController> mClientServer;

    // Outlets (owned by the window).
    MRWindow* _window = nullptr; // owned: deleted with the controller
    SheetPresenter* mPresenter = nullptr;
    IDDragTableView* queueTable_ = nullptr;
    IDDragTableView* phoneTable_ = nullptr;
    QProgressBar* progressIndicator = nullptr;
    QProgressBar* downloadProgressIndicator = nullptr;
    QLabel* textField = nullptr;
    QLabel* phoneLabel = nullptr;
    QLabel* topLabelText = nullptr;
    QLabel* label1 = nullptr;
    QToolButton* stopButton_ = nullptr;
    QToolButton* plusButton = nullptr;
    MRCoolTextView* helpfulMessage_ = nullptr;
    MRSplitView* mRBSplitView = nullptr;
    QMap<QString, QAction*> mActions;

    QueueDataSource* mQueue = nullptr;
    // Files dropped or handed over, taken in a moment later (once the drag has ended).
    std::vector<Intake> mIntake;
    std::shared_ptr<ParoxLogger> mLogger;
    std::unique_ptr<CRExceptionLogger> mExceptionLogger;
    std::unique_ptr<SUUpdater> mUpdater;
    QPointer<ReportDialog> mDiagnostics;
    // Made with the first notification, so that no bus is opened before one is needed.
    DesktopNotifications* mNotifications = nullptr;
    // The downloads of the notifications still on show, by token; bounded like their tokens.
    QMap<quint64, QString> mNotifiedDownloads;

    // Upload flow.
    std::shared_ptr<FSNodeInfo> mCurrentUpload;
    std::atomic<bool> mThreadRunning{false};
    UploadPhase mUploadPhase = UploadPhase::Idle;
    // Items sent since the queue last ran dry, for the notification when it does.
    int mItemsSent = 0;
    std::thread mUploadWorker;
    QTimer* mUploadTimer = nullptr;
    // Gives up a download that hears nothing from the phone for too long.
    QTimer* mDownloadSilenceTimer = nullptr;
    int mTimerTicks = 0;
    int mUploadMaximum = 1;
    UploadProgressText mProgressText;
    QLabel* uploadDetails_ = nullptr;
    // The user's answer to a name clash, given for the other items too; forgotten when the run
    // ends: the queue has emptied, a stop, a lost connection.
    std::optional<ClashAnswer> mClashAnswer;
    UploadPartials mPartials;

    bool mAllowUpload = true;
    bool mConnectionGranted = false;
    bool mSuspendConnectingForNow = false;
    bool mFirstTime = true;
    bool mAutoConnect = true;
    bool mShowNotifications = true;
    QStringList mIgnoredPhones;
    QStringList mReceivingFiles;
    // A finished item crosses file systems as a copy as long as itself: a worker does it, and
    // the next download waits for it.
    enum class DownloadStage { Receiving, MovingIntoPlace };
    DownloadStage mDownloadStage = DownloadStage::Receiving;
    QMap<QString, QString> mDropDestinations;
    PhoneDataSource* mPhone = nullptr;
    DesktopOpener mOpener;
    // One listing worker and one icons worker at a time: what changes while one runs is done
    // once more after it.
    enum class PhoneWork { Idle, Running, RunningAndStale };
    PhoneWork mListingWork = PhoneWork::Idle;
    PhoneWork mIconsWork = PhoneWork::Idle;
    // The paths the running icons worker asked for whose answers still hold: a path written,
    // removed or gone from the listing meanwhile is asked for again instead.
    QSet<QString> mIconsAwaited;
    // The listing and icon workers, waited for at shutdown.
    std::vector<std::future<void>> mPhoneWorkers;
    std::optional<QDateTime> mLastTransfer;
    // The granted connection's follow-up (uploads, the phone's listing) found a sheet open: it
    // runs once the sheets have closed, or a phone found meanwhile would sit idle.
    bool mStatusFollowUpHeld = false;
    // The address last typed that reached a phone: "Try Again" after a refusal dials it again,
    // since discovery alone would never find that phone.
    std::optional<QString> mTypedAddress;
};

} // namespace vantle
