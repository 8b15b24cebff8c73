// The rooms of the window and the wires between them: what one room's news means to another.
#include "app/AppController.h"
#include "app/QueueDataSource.h"
#include "app/awake/StayAwake.h"
#include "app/history/TransferHistory.h"
#include "app/notify/DesktopNotifier.h"
#include "app/phone/PhonePane.h"
#include "app/status/ConnectionStatus.h"
#include "app/tray/TrayIcon.h"
#include "app/upload/UploadFlow.h"
#include "net/GamePeer.h"
#include "platform/Settings.h"
#include "support/ParoxLog.h"
#include "transfer/TransferEvents.h"
#include "ui/MRWindow.h"
#include "ui/SheetPresenter.h"

namespace vantle {

void AppController::makeRooms() {
    mStatus = new ConnectionStatus({*_transfer, *mClientServer, *mPresenter, _window}, this);
    mPhonePane = new PhonePane({*_transfer, *mClientServer, *mPresenter, _window}, this);
    mNotifier = new DesktopNotifier(_window, this);
    mHistory = new TransferHistory(TransferHistory::defaultFilePath(), this);
    mHistory->load();
    mStayAwake = new StayAwake(
        [this] {
            const auto phone = mClientServer->peer();
            return phone ? phone->name().value_or(QString()) : QString();
        },
        {}, this);
    // The upload flow follows with the queue's pane, whose table it works on.
}

void AppController::wireRooms() {
    connect(mStatus, &ConnectionStatus::statusChanged, this, &AppController::statusChanged);
    connect(mStatus, &ConnectionStatus::connectionLost, this, [this] {
        mUpload->stopButton();
        mPhonePane->phoneConnectionLost();
        mStayAwake->connectionLost();
    });
    connect(mStatus, &ConnectionStatus::stateShown, this, &AppController::stateShown);
    connect(mStatus, &ConnectionStatus::uploadPermissionKnown, this,
            &AppController::showUploadPermission);
    connect(mStatus, &ConnectionStatus::grantedFollowUp, this, [this] {
        mUpload->startUploadIfWeCan();
        mPhonePane->refreshPhoneListing();
    });
    connect(mPresenter, &SheetPresenter::sheetsClosed, mStatus, &ConnectionStatus::sheetsClosed);
    // What comes into the queue goes on once it is in: the flow never waits for a batch.
    connect(mQueue, &QueueDataSource::loaded, mUpload, &UploadFlow::startUploadIfWeCan);
    connect(mQueue, &QueueDataSource::added, mUpload, &UploadFlow::startUploadIfWeCan);
    connect(mUpload, &UploadFlow::phoneItemChanged, mPhonePane, &PhonePane::phoneItemChanged);
    // One word of each item's end, for the notification and the history alike.
    connect(mUpload, &UploadFlow::itemEnded, mNotifier, &DesktopNotifier::notifyTransferEnded);
    connect(mUpload, &UploadFlow::itemEnded, mHistory, &TransferHistory::add);
    connect(mUpload, &UploadFlow::queueEmptied, mNotifier, &DesktopNotifier::notifyQueueEmptied);
    connect(mPhonePane, &PhonePane::downloadEnded, mNotifier,
            &DesktopNotifier::notifyTransferEnded);
    connect(mPhonePane, &PhonePane::downloadEnded, mHistory, &TransferHistory::add);
    // Files on the move keep the computer awake.
    connect(mUpload, &UploadFlow::sendingStarted, mStayAwake, &StayAwake::sendingStarted);
    connect(mUpload, &UploadFlow::sendingStopped, mStayAwake, &StayAwake::sendingStopped);
    connect(mPhonePane, &PhonePane::receivingChanged, mStayAwake, &StayAwake::receivingChanged);
    wireTray();
}

void AppController::wireTray() {
    mTray =
        new TrayIcon({_window, mActions.addFiles, mActions.transferHistory, mActions.quit}, this);
    connect(mStatus, &ConnectionStatus::statusChanged, mTray, [this] {
        const std::shared_ptr<GamePeer> phone = mClientServer->peer();
        using Connection = TrayIcon::Connection;
        const Connection state = !connected() || !phone ? Connection::NotConnected
                                 : mStatus->granted()   ? Connection::Connected
                                                        : Connection::WaitingForApproval;
        mTray->showConnection(state, phone ? phone->name().value_or(QString()) : QString());
    });
    connect(mUpload, &UploadFlow::sendingProgress, mTray, [this](std::optional<int> percent) {
        mTray->showSending(mQueue->rowCount(), percent);
    });
    connect(mUpload, &UploadFlow::sendingStopped, mTray, &TrayIcon::sendingEnded);
    // Read as the window closes: the setting may have changed since the start.
    _window->setKeepsRunningOnClose([this] {
        return mPhase == Phase::Running && Defaults::get(settings::kKeepRunningInTray) &&
               mTray->available();
    });
    connect(_window, &MRWindow::hiddenOnClose, mNotifier,
            &DesktopNotifier::notifyKeptRunningInTray);
}

void AppController::observeTransferEvents() {
    mEvents = new TransferEvents(this);
    connect(mEvents, &TransferEvents::connectionAllowed, mStatus,
            &ConnectionStatus::connectionGranted);
    connect(mEvents, &TransferEvents::connectionDenied, mStatus,
            &ConnectionStatus::connectionDenied);
    // The phone's files and downloads.
    connect(mEvents, &TransferEvents::serverListingChanged, mPhonePane, [this] {
        ParoxLog("serverListingChanged");
        mPhonePane->refreshPhoneListing();
    });
    connect(mEvents, &TransferEvents::transferFinished, mPhonePane,
            [this] { mPhonePane->fileDownloaded(true); });
    connect(mEvents, &TransferEvents::downloadCancelled, mPhonePane,
            [this] { mPhonePane->fileDownloaded(false); });
    connect(mEvents, &TransferEvents::downloadProgress, mPhonePane, &PhonePane::downloadProgress);
    connect(mEvents, &TransferEvents::downloadFailed, mPhonePane, &PhonePane::downloadFailed);
}

// --- ClientServerHost: the connection's news goes to the status ---

bool AppController::connected() const {
    return mClientServer && mClientServer->connected();
}

void AppController::setStatusToConnectionStatus() {
    if (mStatus) mStatus->setStatusToConnectionStatus();
}

void AppController::startedDiscovery() {
    if (mStatus) mStatus->startedDiscovery();
}

bool AppController::isIgnored(const QString& address) const {
    return mStatus && mStatus->isIgnored(address);
}

bool AppController::shouldAutoConnect() const {
    return !mStatus || mStatus->autoConnect();
}

bool AppController::suspendLookingForServers() const {
    return mStatus && mStatus->suspendLookingForServers();
}

void AppController::showAlert(const QString& title, const QString& message) {
    ParoxLog("alert: %@ %@", title, message);
    if (mPresenter) mPresenter->tell(title, message, SheetPresenter::Kind::Alert);
}

void AppController::logAlert(const QString& title, const QString& message) {
    ParoxLog("%@ %@", title, message);
}

// --- QueueHost: the queue's news goes to the upload flow ---

void AppController::stopButton() {
    if (mUpload) mUpload->stopButton();
}

void AppController::connectToTypedAddress(const QString& text) {
    mStatus->connectToTypedAddress(text);
}

} // namespace vantle
