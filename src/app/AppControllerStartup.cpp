// Start-up, the connection state the user sees, the approval and the refusal.
#include "app/AppController.h"
#include "app/AppKeys.h"
#include "app/AppLinks.h"
#include "app/QueueDataSource.h"
#include "net/DnsSdLibrary.h"
#include "net/GamePeer.h"
#include "platform/Defaults.h"
#include "platform/MainThread.h"
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
constexpr int kGrantedFollowUpMs = 100;
constexpr int kMessageUpdateMs = 100;
constexpr int kFirstMessageUpdateMs = 1000;
constexpr int kManualWarningMs = 100;
// The hint's text size over the empty queue.
constexpr float kHintTextSize = 25.0F;

const char kNotConnectedMessage[] = "Drag files here for\nfuture transfer\nto your iPhone";
const char kConnectedMessage[] = "Drag files here\nto transfer to\nyour iPhone";
const char kWaitingMessage[] = "Waiting for approval\nfrom iPhone...";

} // namespace

AppController::AppController(QObject* parent)
    : QObject(parent), _transfer(std::make_unique<MRTransferController>()),
      mClientServer(std::make_unique<ClientServerController>(*this, _transfer->responseSlot())) {}

AppController::~AppController() {
    shutDown();
    mUpdater.reset();
    NotificationCenter::defaultCenter().removeObservers(this);
    delete _window;
}

void AppController::shutDown() {
    if (!mClientServer) return;
    // The process ends without running what waits: files dropped or handed over a moment ago,
    // and every change of the queue, are in its file first.
    takeInWaitingFiles(AfterIntake::OnlyQueue);
    if (mQueue)
        if (const Result<void> saved = mQueue->flush(); !saved)
            ParoxLog("the queue could not be saved before the end: %@", saved.error());
    _transfer->cancelUploadOperation();
    _transfer->cancelDownloadOperation();
    _transfer->stopFinishing();
    mClientServer->stopLookingForServers();
    if (const auto phone = mClientServer->peer()) phone->disconnect();
    joinUploadWorker();
    waitForPhoneWorkers();
    mClientServer->setRequestDispatcher(nullptr);
}

void AppController::interruptForQuit() {
    _transfer->cancelUploadOperation();
    if (const auto phone = mClientServer->peer()) phone->disconnect();
}

bool AppController::awakeFromNib() {
    // 1–2: the logger first, so that everything after it is logged.
    const bool logToFile = Defaults::boolForKey(QLatin1String(prefs::kLogToFile), false);
    mLogger = ParoxLogger::createDefaultLogger(logToFile, true);
    mExceptionLogger = std::make_unique<CRExceptionLogger>();
    mAutoConnect = Defaults::boolForKey(QLatin1String(prefs::kAutoConnect), true);
    mShowNotifications = Defaults::boolForKey(QLatin1String(prefs::kShowNotifications), true);
    ParoxLog("starting up...");

    // 4: without the DNS-SD library the program cannot work.
    if (!loadBonjourDLL()) {
        ParoxLog("loadBonjourDLL failed: %@", dnsSdLoadError());
        mPresenter = new SheetPresenter(nullptr);
        mPresenter->show({QStringLiteral("Unable To Load Bonjour"),
                          dnsSdLibraryMissingMessage(),
                          {QStringLiteral("Quit")},
                          {},
                          SheetPresenter::Message::Kind::Alert},
                         [](const QString&, bool) { QCoreApplication::exit(0); });
        return false;
    }

    // 5–9, 14: the window, its menus and panes.
    mQueue = new QueueDataSource(MorrowFileQueue::defaultStorePath(), this);
    mQueue->setHost(this);
    buildWindow();
    mActions.value(QStringLiteral("loggingMenu:"))->setChecked(logToFile);
    mActions.value(QStringLiteral("autoConnectMenu:"))->setChecked(mAutoConnect);
    mActions.value(QStringLiteral("notificationsMenu:"))->setChecked(mShowNotifications);
    mFirstTime = true;
    mRBSplitView->collapseBottom();

    // 10–13: the transfer layer answers the phone from now on.
    _transfer->setClientServerController(mClientServer.get());
    mClientServer->setRequestDispatcher(_transfer.get());
    // What an earlier run left half-arrived, on a worker: a large leftover must not hold up the
    // window's start. A download of another process (or one starting now) writes more often.
    startPhoneWorker([transfer = _transfer.get()] {
        transfer->clearTemporaryArea(TransferTimeouts{}.downloadSilence);
    });
    mThreadRunning = false;
    mAllowUpload = true;
    mSuspendConnectingForNow = false;
    observeNotifications();
    connect(mPresenter, &SheetPresenter::sheetsClosed, this, [this] {
        if (std::exchange(mStatusFollowUpHeld, false) && connected() && mConnectionGranted)
            doSetStatus();
    });
    helpfulMessage_->show();

    // 15–18: the session, then the status it leads to.
    mClientServer->startClient();
    mConnectionGranted = false;
    setupUploadUI();
    const QVariant last = Defaults::value(QLatin1String(prefs::kLastTransfer));
    if (last.isValid() && !last.isNull()) mLastTransfer = last.toDateTime();
    setStatusToConnectionStatus();

    // 20–22. Qt's event loop needs no idle timer to run work handed over by other threads.
    queueTable_->setFocus();
    mUpdater = std::make_unique<SUUpdater>(*this, QUrl(links::webSite()));
    mUpdater->autoCheckForUpdates();
    if (!mAutoConnect && !Defaults::contains(QLatin1String(prefs::kDontWarnAboutManual)))
        performAfterDelay(this, kManualWarningMs, [this] { warnAboutAutomatic(); });
    return true;
}

void AppController::observeNotifications() {
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(QString(notes::kConnectionAllowed), this,
                       [this](const Notification& note) { connectionGranted(note); });
    center.addObserver(QString(notes::kConnectionDenied), this,
                       [this](const Notification& note) { connectionDenied(note); });
    // The phone's files and downloads.
    center.addObserver(QString(notes::kServerListingChanged), this, [this](const Notification&) {
        ParoxLog("serverListingChanged");
        refreshPhoneListing();
    });
    center.addObserver(QString(notes::kTransferFinished), this,
                       [this](const Notification&) { fileDownloaded(true); });
    center.addObserver(QString(notes::kDownloadProgress), this,
                       [this](const Notification& note) { downloadProgress(note); });
    center.addObserver(QString(notes::kDownloadFailed), this,
                       [this](const Notification& note) { downloadFailed(note); });
}

bool AppController::connected() const {
    return mClientServer && mClientServer->connected();
}

bool AppController::connectedOrConnecting() const {
    return mClientServer && mClientServer->connectedOrConnecting();
}

bool AppController::isIgnored(const QString& address) const {
    return mIgnoredPhones.contains(address);
}

QString AppController::statusText() const {
    return label1 ? label1->text() : QString();
}

QString AppController::topHeading() const {
    return topLabelText ? topLabelText->text() : QString();
}

QString AppController::phoneHeading() const {
    return phoneLabel ? phoneLabel->text() : QString();
}

bool AppController::plusButtonEnabled() const {
    return plusButton && plusButton->isEnabled();
}

QAction* AppController::action(const QString& name) const {
    return mActions.value(name);
}

void AppController::setStatusLine(const QString& text) {
    if (!label1 || label1->text() == text) return;
    label1->setText(text);
    emit statusChanged(text);
}

void AppController::startedDiscovery() {
    setStatusLine(QStringLiteral("Searching for iPhones..."));
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

void AppController::setLastConnection() {
    mLastTransfer = QDateTime::currentDateTime();
    Defaults::setValue(QLatin1String(prefs::kLastTransfer), *mLastTransfer);
}

void AppController::setStatusToConnectionStatus() {
    if (!label1) return;
    QString appName = QLatin1String(kLocalAppName);
    ParoxLog("setStatusToConnectionStatus");
    const std::shared_ptr<GamePeer> phone = mClientServer->peer();
    if (!connected() || !phone) {
        mConnectionGranted = false;
        stopButton();
        phoneLabel->setText(QStringLiteral("Open Vantle on iPhone to start the transfer"));
        setStatusLine(mLastTransfer ? QStringLiteral("Not connected.")
                                    : QStringLiteral("Welcome to Vantle."));
        setupUploadUI();
        mAllowUpload = true;
        phoneConnectionLost();
    } else {
        setLastConnection();
        if (mConnectionGranted) {
            // The name is shown as it came; it is never read as a format.
            setStatusLine(QStringLiteral("Connected to ") + phone->name().value_or(QString()) +
                          QStringLiteral("."));
            phoneLabel->setText(QStringLiteral("Files on connected iPhone"));
            performAfterDelay(this, kGrantedFollowUpMs, [this] { doSetStatus(); });
        } else {
            setStatusLine(QStringLiteral("Waiting for approval..."));
        }
        // The only request the window makes itself; it waits for the phone's answer alone.
        _transfer->askClientForVersionAndInfo(&appName, &mAllowUpload);
    }
    topLabelText->setText(mAllowUpload ? QStringLiteral("Files awaiting transfer")
                                       : QString(QStringLiteral("Download from ") + appName));
    plusButton->setEnabled(mAllowUpload);
    mActions.value(QStringLiteral("addFileToQueue:"))->setEnabled(mAllowUpload);
    ParoxLog("setStatus: %d", mFirstTime);
    if (mFirstTime)
        performAfterDelay(this, kFirstMessageUpdateMs, [this] { queueTableChanged(); });
    else
        queueTableChanged();
    mFirstTime = false;
    resizeViews(!mAllowUpload);
    setupUploadUI();
}

void AppController::doSetStatus() {
    if (mPresenter && mPresenter->sheetOpen()) {
        mStatusFollowUpHeld = true;
        return;
    }
    mStatusFollowUpHeld = false;
    startUploadIfWeCan();
    refreshPhoneListing();
    downloadProgressIndicator->setValue(0);
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
                              : mConnectionGranted ? kConnectedMessage
                                                   : kWaitingMessage;
        helpfulMessage_->setSize(kHintTextSize);
        helpfulMessage_->setTitle(QLatin1String(message));
        helpfulMessage_->show();
        helpfulMessage_->raise();
        queueTable_->viewport()->update();
    } else {
        helpfulMessage_->hide();
    }
}

void AppController::resizeViews(bool readOnly) {
    if (!connected() || !mConnectionGranted) {
        phoneTable_->clearSelection();
        mRBSplitView->collapseBottom();
    } else {
        mRBSplitView->expandBottom(readOnly);
    }
}

void AppController::connectionGranted(const Notification&) {
    ParoxLog("connectionGranted");
    mConnectionGranted = true;
    setStatusToConnectionStatus();
}

void AppController::connectionDenied(const Notification& note) {
    ParoxLog("connectionDenied");
    mSuspendConnectingForNow = true;
    mConnectionGranted = false;
    const QVariantMap info = note.userInfo.toMap();
    const QString device = info.value(QString(keys::kDeviceName)).toString();
    const QString address = info.value(QString(keys::kPhoneIP)).toString();
    // Built by concatenation: a device name is never read as a format.
    const QString message = QStringLiteral("\"") + device +
                            QStringLiteral("\" refused the connnection. How would you like to "
                                           "proceed?");
    mPresenter->show({QStringLiteral("Connection Refused"),
                      message,
                      {QStringLiteral("Try Again"), QStringLiteral("Ignore This iPhone")},
                      {},
                      SheetPresenter::Message::Kind::Sheet},
                     [this, address](const QString& button, bool) {
                         askRefused(button == QLatin1String("Try Again"), address);
                     });
}

void AppController::askRefused(bool tryAgain, const QString& phoneAddress) {
    if (!tryAgain && !phoneAddress.isEmpty() && !mIgnoredPhones.contains(phoneAddress))
        mIgnoredPhones.append(phoneAddress);
    mSuspendConnectingForNow = false;
    if (shouldAutoConnect()) mClientServer->startAutoConnect();
    // A phone reached by its typed address is never found by the search: dial it again.
    if (tryAgain && mTypedAddress && !connectedOrConnecting())
        mClientServer->addServer(*mTypedAddress);
}

} // namespace vantle
