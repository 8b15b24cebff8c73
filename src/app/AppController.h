#pragma once

#include "app/AppNames.h"
#include "app/QueueHost.h"
#include "support/UpdaterHost.h"
#include "transfer/ClientServerController.h"
#include "transfer/ClientServerHost.h"
#include "transfer/MRTransferController.h"
#include "ui/ReportDialog.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QToolButton;
class QWidget;

namespace vantle {

class ConnectionStatus;
class CRExceptionLogger;
class DesktopNotifier;
class StayAwake;
class IDDragTableView;
class MRCoolTextView;
class MRSplitView;
class MRWindow;
class ParoxLogger;
class PhonePane;
class PreferencesDialog;
class SUUpdater;
class TransferEvents;
class TransferHistory;
class TransferHistoryWindow;
class QueueDataSource;
class SheetPresenter;
class TrayIcon;
class UploadFlow;

// The program's window and what it holds: start-up, the menus, the queue's intake, and the
// wiring between the rooms that do the work (the upload flow, the phone's pane, the connection
// status, the desktop notifications). It owns the transfer layer. Lives on the main thread
// (queueTableChanged may be called from any thread).
class AppController final : public QObject,
                            public ClientServerHost,
                            public QueueHost,
                            public UpdaterHost {
    Q_OBJECT

public:
    static constexpr const char* kLocalAppName = names::kLocalAppName;
    static constexpr const char* kDesktopEntry = names::kDesktopEntry;

    // The menu bar's actions, by what they do.
    struct MenuActions {
        QAction* addFiles = nullptr;
        QAction* directConnect = nullptr;
        QAction* transferHistory = nullptr;
        QAction* autoConnect = nullptr;
        QAction* logging = nullptr;
        QAction* notifications = nullptr;
        QAction* checkForUpdates = nullptr;
        QAction* quit = nullptr;
        QAction* deleteItems = nullptr;
        QAction* preferences = nullptr;
        QAction* diagnostics = nullptr;
        QAction* connectionHelp = nullptr; // absent without an address
        QAction* webSite = nullptr;        // absent without an address
    };

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
    // Ends the program, wherever the window is (the menus' Quit, the tray's, quit signals):
    // a window on show closes as ever, sheets go unanswered, the event loop ends.
    void quit();
    // Any thread, as a quit begins: ends at once every wait on the phone (a request the main
    // thread or a worker waits in, an upload), so that the quit is not held up by a slow phone.
    void interruptForQuit();

    // Files may be dropped on the queue: not while a sheet is open.
    bool acceptsDrops() const;

    // --- The rooms and the window ---
    MRWindow* window() const { return _window; }
    SheetPresenter* presenter() const { return mPresenter; }
    UploadFlow& upload() const { return *mUpload; }
    PhonePane& phonePane() const { return *mPhonePane; }
    ConnectionStatus& status() const { return *mStatus; }
    DesktopNotifier& notifier() const { return *mNotifier; }
    TrayIcon& tray() const { return *mTray; }
    TransferHistory& history() const { return *mHistory; }
    MRTransferController& transfer() { return *_transfer; }
    ClientServerController& clientServer() { return *mClientServer; }

    // --- ClientServerHost ---
    bool connected() const;
    void setStatusToConnectionStatus() override;
    void startedDiscovery() override;
    void showAlert(const QString& title, const QString& message) override;
    void logAlert(const QString& title, const QString& message) override;
    bool isIgnored(const QString& address) const override;
    bool shouldAutoConnect() const override;
    bool suspendLookingForServers() const override;

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

    // --- Menus ---
    void autoConnectMenu();
    void loggingMenu();
    void notificationsMenu();
    void warnAboutAutomatic();
    // Edit → Preferences...: the one preferences window, brought forward when open.
    void showPreferences();
    void validateMenus();
    // Connects to a typed address ("HOST" or "HOST:PORT") as the manual-connect sheet does.
    void connectToTypedAddress(const QString& text);

    // --- UpdaterHost ---
    void showUpdatePanel(const UpdatePanel& panel,
                         std::function<void(const QString& button)> done) override;
    void openWebSite() override;

    // --- Help (AppControllerHelp.cpp) ---
    void checkForUpdates();
    // The diagnostics report in a window of its own, with a Copy button.
    void showConnectionDiagnostics();
    // "Transfer History": one window, raised when it is open already.
    void showTransferHistory();
    TransferHistoryWindow* transferHistoryWindow() const;

signals:
    // The status line changed (tests and the demo wait for it).
    void statusChanged(const QString& status);

private:
    // Building the window (AppControllerWindow.cpp).
    void buildWindow();
    void buildMenus();
    // Returns the pane's heading.
    QLabel* buildQueuePane(QWidget* pane);
    void orderTabs();
    // The rooms, made once the window's parts they work with exist, and wired together.
    void makeRooms();
    void wireRooms();
    // The tray follows the connection and the queue's way to the phone.
    void wireTray();
    // The window has closed, or a quit closed it: the program ends.
    void endProgram();

    // Start-up (AppControllerStartup.cpp).
    // The transfer layer's events go to the rooms they concern.
    void observeTransferEvents();
    // The connection's state has been shown anew: the queue's side follows it.
    void stateShown(bool firstTime);
    // Whether the phone takes uploads, on the plus button, "Add Files..." and the panes.
    void showUploadPermission();
    void updateMessageThing();
    void doUpdateMessageThing();
    void resizeViews(bool readOnly);

    // Menus (AppControllerMenus.cpp).
    void openLink(const QString& url);

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

    // The transfer layer: the transfer controller owns the response slot the client-server
    // controller is made with, so it is made first and destroyed last.
    std::unique_ptr<MRTransferController> _transfer;
    std::unique_ptr<ClientServerController> mClientServer;

    // The window and its outlets.
    MRWindow* _window = nullptr; // owned: deleted with the controller
    SheetPresenter* mPresenter = nullptr;
    MRSplitView* mRBSplitView = nullptr;
    IDDragTableView* queueTable_ = nullptr;
    QToolButton* plusButton = nullptr;
    MRCoolTextView* helpfulMessage_ = nullptr;
    MenuActions mActions;

    TransferEvents* mEvents = nullptr;
    // The rooms (children of the controller).
    ConnectionStatus* mStatus = nullptr;
    UploadFlow* mUpload = nullptr;
    PhonePane* mPhonePane = nullptr;
    DesktopNotifier* mNotifier = nullptr;
    TrayIcon* mTray = nullptr;
    // Once the program ends, closing the window no longer leaves it running in the tray.
    enum class Phase { Running, Ending };
    Phase mPhase = Phase::Running;
    TransferHistory* mHistory = nullptr;
    QPointer<TransferHistoryWindow> mHistoryWindow;
    StayAwake* mStayAwake = nullptr;

    QueueDataSource* mQueue = nullptr;
    // Files dropped or handed over, taken in a moment later (once the drag has ended).
    std::vector<Intake> mIntake;
    std::shared_ptr<ParoxLogger> mLogger;
    std::unique_ptr<CRExceptionLogger> mExceptionLogger;
    std::unique_ptr<SUUpdater> mUpdater;
    QPointer<ReportDialog> mDiagnostics;
    QPointer<PreferencesDialog> mPreferences;
};

} // namespace vantle
