// Start-up and the end, and the queue's side of the connection's state.
#include "app/AppController.h"
#include "app/AppLinks.h"
#include "app/QueueDataSource.h"
#include "app/awake/StayAwake.h"
#include "app/history/TransferHistory.h"
#include "app/notify/DesktopNotifier.h"
#include "app/phone/PhonePane.h"
#include "app/status/ConnectionStatus.h"
#include "app/tray/TrayIcon.h"
#include "app/upload/UploadFlow.h"
#include "net/DnsSdLibrary.h"
#include "net/GamePeer.h"
#include "platform/MainThread.h"
#include "platform/Settings.h"
#include "support/CRExceptionLogger.h"
#include "support/ParoxLog.h"
#include "support/ParoxLogger.h"
#include "support/SUUpdater.h"
#include "transfer/ProtocolKeys.h"
#include "ui/IDDragTableView.h"
#include "ui/MRCoolTextView.h"
#include "ui/MRSplitView.h"
#include "ui/MRWindow.h"
#include "ui/SheetPresenter.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>
#include <QUrl>
#include <utility>

namespace vantle {
namespace {

// Delays of the start-up and status flow, in milliseconds.
constexpr int kMessageUpdateMs = 100;
// How long the end waits for the transfer history to be written.
constexpr std::chrono::milliseconds kHistoryFlushLimit{2000};
constexpr int kFirstMessageUpdateMs = 1000;
constexpr int kManualWarningMs = 100;
// The hint's text size over the empty queue.
constexpr float kHintTextSize = 25.0F;

const char kNotConnectedMessage[] = QT_TRANSLATE_NOOP(
    "vantle::AppController", "Drag files here for\nfuture transfer\nto your iPhone");
const char kConnectedMessage[] =
    QT_TRANSLATE_NOOP("vantle::AppController", "Drag files here\nto transfer to\nyour iPhone");
const char kWaitingMessage[] =
    QT_TRANSLATE_NOOP("vantle::AppController", "Waiting for approval\nfrom iPhone...");

} // namespace

AppController::AppController(QObject* parent)
    : QObject(parent), _transfer(std::make_unique<MRTransferController>()),
      mClientServer(std::make_unique<ClientServerController>(*this, _transfer->responseSlot())) {}

AppController::~AppController() {
    shutDown();
    mUpdater.reset();
    // The tray's menu stands for the window's items: it goes first.
    delete mTray;
    delete _window;
    // Before the transfer layer they work with goes.
    delete mUpload;
    delete mPhonePane;
    delete mStatus;
    delete mNotifier;
    delete mStayAwake;
}

void AppController::shutDown() {
    if (!mClientServer) return;
    // The process ends without running what waits: files dropped or handed over a moment ago,
    // and every change of the queue, are in its file first.
    takeInWaitingFiles(AfterIntake::OnlyQueue);
    // What the flush takes in only goes into the file: nothing starts on the way out.
    if (mQueue && mUpload) disconnect(mQueue, nullptr, mUpload, nullptr);
    if (mQueue)
        if (const Result<void> saved = mQueue->flush(); !saved)
            ParoxLog("the queue could not be saved before the end: %@", saved.error());
    _transfer->cancelUploadOperation();
    _transfer->cancelDownloadOperation();
    _transfer->stopFinishing();
    mClientServer->stopLookingForServers();
    if (const auto phone = mClientServer->peer()) phone->disconnect();
    // The version check ends with the connection.
    if (mStatus) mStatus->shutDown();
    if (mUpload) mUpload->shutDown();
    if (mPhonePane) mPhonePane->waitForPhoneWorkers();
    // After the workers, whose last ends it records.
    if (mHistory && !mHistory->flush(kHistoryFlushLimit))
        ParoxLog("the transfer history was not written before the end");
    if (mStayAwake) mStayAwake->shutDown();
    mClientServer->setRequestDispatcher(nullptr);
    _transfer->releaseTemporaryArea();
}

void AppController::interruptForQuit() {
    _transfer->cancelUploadOperation();
    if (const auto phone = mClientServer->peer()) phone->disconnect();
}

bool AppController::awakeFromNib() {
    // 1–2: the logger first, so that everything after it is logged.
    const bool logToFile = Defaults::get(settings::kLogToFile);
    mLogger = ParoxLogger::createDefaultLogger(logToFile, true);
    mExceptionLogger = std::make_unique<CRExceptionLogger>();
    const bool autoConnect = Defaults::get(settings::kAutoConnect);
    const bool showNotifications = Defaults::get(settings::kShowNotifications);
    ParoxLog("starting up...");

    // 4: without the DNS-SD library the program cannot work.
    if (!loadBonjourDLL()) {
        ParoxLog("loadBonjourDLL failed: %@", dnsSdLoadError());
        mPresenter = new SheetPresenter(nullptr);
        mPresenter->show({tr("Unable To Load Bonjour"),
                          dnsSdLibraryMissingMessage(),
                          {{tr("Quit"), SheetPresenter::Role::Accept}},
                          std::nullopt,
                          SheetPresenter::Kind::Alert},
                         [](SheetPresenter::Role, bool) { QCoreApplication::exit(0); });
        return false;
    }

    // 5–9, 14: the window, its menus and panes.
    mQueue = new QueueDataSource(MorrowFileQueue::defaultStorePath(), this);
    mQueue->setHost(this);
    buildWindow();
    mStatus->setAutoConnect(autoConnect);
    mNotifier->setShowNotifications(showNotifications);
    mActions.logging->setChecked(logToFile);
    mActions.autoConnect->setChecked(autoConnect);
    mActions.notifications->setChecked(showNotifications);
    mRBSplitView->collapseBottom();

    // 10–13: the transfer layer answers the phone from now on.
    _transfer->setClientServerController(mClientServer.get());
    mClientServer->setRequestDispatcher(_transfer.get());
    // What an earlier run left half-arrived: a large leftover must not hold up the window's start.
    mPhonePane->clearLeftoverDownloads();
    observeTransferEvents();
    helpfulMessage_->show();

    // 15–18: the session, then the status it leads to.
    mClientServer->startClient();
    mUpload->setupUploadUI();
    mStatus->restoreLastConnection();
    mStatus->setStatusToConnectionStatus();

    // 20–22. Qt's event loop needs no idle timer to run work handed over by other threads.
    queueTable_->setFocus();
    mUpdater = std::make_unique<SUUpdater>(*this, QUrl(links::webSite()));
    mUpdater->autoCheckForUpdates();
    if (!autoConnect && !Defaults::get(settings::kDontWarnAboutManual))
        performAfterDelay(this, kManualWarningMs, [this] { warnAboutAutomatic(); });
    return true;
}

void AppController::stateShown(bool firstTime) {
    showUploadPermission();
    if (firstTime)
        performAfterDelay(this, kFirstMessageUpdateMs, [this] { queueTableChanged(); });
    else
        queueTableChanged();
    mUpload->setupUploadUI();
}

void AppController::showUploadPermission() {
    const bool takesFiles = mStatus->takesFiles();
    plusButton->setEnabled(takesFiles);
    mActions.addFiles->setEnabled(takesFiles);
    resizeViews(mStatus->uploadPermission() == UploadPermission::Refused);
}

void AppController::queueTableChanged() {
    // Any thread: the hint follows on the main thread.
    runOn(this, [this] { updateMessageThing(); });
}

void AppController::updateMessageThing() {
    performAfterDelay(this, kMessageUpdateMs, [this] { doUpdateMessageThing(); });
}

void AppController::doUpdateMessageThing() {
    if (!helpfulMessage_ || !mQueue) return;
    if (mQueue->rowCount() == 0) {
        const char* message = !connected()         ? kNotConnectedMessage
                              : mStatus->granted() ? kConnectedMessage
                                                   : kWaitingMessage;
        helpfulMessage_->setSize(kHintTextSize);
        helpfulMessage_->setTitle(tr(message));
        helpfulMessage_->show();
        helpfulMessage_->raise();
        queueTable_->viewport()->update();
    } else {
        helpfulMessage_->hide();
    }
}

void AppController::resizeViews(bool readOnly) {
    if (!connected() || !mStatus->granted()) {
        mPhonePane->phoneTable()->clearSelection();
        mRBSplitView->collapseBottom();
    } else {
        mRBSplitView->expandBottom(readOnly);
    }
}

} // namespace vantle
