// The rooms of the window and the wires between them: what one room's news means to another.
#include "app/AppController.h"
#include "app/notify/DesktopNotifier.h"
#include "app/phone/PhonePane.h"
#include "app/status/ConnectionStatus.h"
#include "app/upload/UploadFlow.h"
#include "platform/NotificationCenter.h"
#include "support/ParoxLog.h"
#include "transfer/ProtocolKeys.h"
#include "ui/MRWindow.h"
#include "ui/SheetPresenter.h"

namespace vantle {

void AppController::makeRooms() {
    mStatus = new ConnectionStatus({*_transfer, *mClientServer, *mPresenter, _window}, this);
    mPhonePane = new PhonePane({*_transfer, *mClientServer, *mPresenter, _window}, this);
    mNotifier = new DesktopNotifier(_window, this);
    // The upload flow follows with the queue's pane, whose table it works on.
}

void AppController::wireRooms() {
    connect(mStatus, &ConnectionStatus::statusChanged, this, &AppController::statusChanged);
    connect(mStatus, &ConnectionStatus::connectionLost, this, [this] {
        mUpload->stopButton();
        mPhonePane->phoneConnectionLost();
    });
    connect(mStatus, &ConnectionStatus::stateShown, this, &AppController::stateShown);
    connect(mStatus, &ConnectionStatus::grantedFollowUp, this, [this] {
        mUpload->startUploadIfWeCan();
        mPhonePane->refreshPhoneListing();
    });
    connect(mPresenter, &SheetPresenter::sheetsClosed, mStatus, &ConnectionStatus::sheetsClosed);
    connect(mUpload, &UploadFlow::phoneItemChanged, mPhonePane, &PhonePane::phoneItemChanged);
    connect(mUpload, &UploadFlow::uploadFailed, mNotifier, &DesktopNotifier::notifyUploadFailed);
    connect(mUpload, &UploadFlow::queueEmptied, mNotifier, &DesktopNotifier::notifyQueueEmptied);
    connect(mPhonePane, &PhonePane::downloadArrived, mNotifier,
            &DesktopNotifier::notifyDownloadArrived);
}

void AppController::observeNotifications() {
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(QString(notes::kConnectionAllowed), this,
                       [this](const Notification&) { mStatus->connectionGranted(); });
    center.addObserver(QString(notes::kConnectionDenied), this, [this](const Notification& note) {
        const QVariantMap info = note.userInfo.toMap();
        mStatus->connectionDenied(info.value(QString(keys::kDeviceName)).toString(),
                                  info.value(QString(keys::kPhoneIP)).toString());
    });
    // The phone's files and downloads.
    center.addObserver(QString(notes::kServerListingChanged), this, [this](const Notification&) {
        ParoxLog("serverListingChanged");
        mPhonePane->refreshPhoneListing();
    });
    center.addObserver(QString(notes::kTransferFinished), this,
                       [this](const Notification&) { mPhonePane->fileDownloaded(true); });
    center.addObserver(QString(notes::kDownloadProgress), this,
                       [this](const Notification& note) { mPhonePane->downloadProgress(note); });
    center.addObserver(QString(notes::kDownloadFailed), this,
                       [this](const Notification& note) { mPhonePane->downloadFailed(note); });
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
    if (!mPresenter) return;
    mPresenter->show(
        {title, message, {QStringLiteral("OK")}, {}, SheetPresenter::Message::Kind::Alert},
        [](const QString&, bool) {});
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
