// The status line and the headings, the phone's approval and refusal, the manual connection.
#include "app/status/ConnectionStatus.h"

#include "app/AppNames.h"
#include "net/GamePeer.h"
#include "platform/MainThread.h"
#include "platform/Settings.h"
#include "support/ParoxLog.h"
#include "transfer/ClientServerController.h"
#include "transfer/MRTransferController.h"
#include "ui/DirectConnectPanel.h"
#include "ui/SheetPresenter.h"

#include <QLabel>
#include <utility>

namespace vantle {
namespace {

constexpr int kGrantedFollowUpMs = 100;
// The sheet opens a moment after its menu item, and the connection is tried a moment after the
// sheet closes, so the status line shows "Connecting..." first.
constexpr int kOpenSheetDelayMs = 500;
constexpr int kConnectDelayMs = 1000;

QString unableToConnectDetail(AddServerResult code) {
    switch (code) {
    case AddServerResult::CouldNotMakePeer:
        return QStringLiteral("Ensure that you have entered the correct network address.");
    case AddServerResult::InvalidAddress:
        return QStringLiteral("Ensure that you have entered a valid network address.");
    case AddServerResult::Connecting:
    case AddServerResult::CouldNotConnect:
        break;
    }
    return QStringLiteral(
        "Ensure that your iPhone is turned on and the Vantle iPhone application is open.");
}

} // namespace

ConnectionStatus::ConnectionStatus(Parts parts, QObject* parent)
    : QObject(parent), mParts(std::move(parts)) {}

void ConnectionStatus::setLabels(Labels labels) {
    mLabels = labels;
}

void ConnectionStatus::restoreLastConnection() {
    mLastTransfer = Defaults::get(settings::kLastTransfer);
}

bool ConnectionStatus::connected() const {
    return mParts.clientServer.connected();
}

bool ConnectionStatus::connectedOrConnecting() const {
    return mParts.clientServer.connectedOrConnecting();
}

void ConnectionStatus::setStatusLine(const QString& text) {
    if (!mLabels.statusLine || mLabels.statusLine->text() == text) return;
    mLabels.statusLine->setText(text);
    emit statusChanged(text);
}

void ConnectionStatus::startedDiscovery() {
    setStatusLine(QStringLiteral("Searching for iPhones..."));
}

void ConnectionStatus::setLastConnection() {
    mLastTransfer = QDateTime::currentDateTime();
    Defaults::set(settings::kLastTransfer, *mLastTransfer);
}

void ConnectionStatus::setStatusToConnectionStatus() {
    if (!mLabels.statusLine) return;
    QString appName = QLatin1String(names::kLocalAppName);
    ParoxLog("setStatusToConnectionStatus");
    const std::shared_ptr<GamePeer> phone = mParts.clientServer.peer();
    if (!connected() || !phone) {
        mConnectionGranted = false;
        mAllowUpload = true;
        mLabels.phoneHeading->setText(
            QStringLiteral("Open Vantle on iPhone to start the transfer"));
        setStatusLine(mLastTransfer ? QStringLiteral("Not connected.")
                                    : QStringLiteral("Welcome to Vantle."));
        emit connectionLost();
    } else {
        setLastConnection();
        if (mConnectionGranted) {
            // The name is shown as it came; it is never read as a format.
            setStatusLine(QStringLiteral("Connected to ") + phone->name().value_or(QString()) +
                          QStringLiteral("."));
            mLabels.phoneHeading->setText(QStringLiteral("Files on connected iPhone"));
            performAfterDelay(this, kGrantedFollowUpMs, [this] { doSetStatus(); });
        } else {
            setStatusLine(QStringLiteral("Waiting for approval..."));
        }
        // The only request the window makes itself; it waits for the phone's answer alone.
        mParts.transfer.askClientForVersionAndInfo(&appName, &mAllowUpload);
    }
    mLabels.topHeading->setText(mAllowUpload ? QStringLiteral("Files awaiting transfer")
                                             : QString(QStringLiteral("Download from ") + appName));
    ParoxLog("setStatus: %d", mFirstTime);
    emit stateShown(std::exchange(mFirstTime, false));
}

void ConnectionStatus::doSetStatus() {
    if (mParts.presenter.sheetOpen()) {
        mStatusFollowUpHeld = true;
        return;
    }
    mStatusFollowUpHeld = false;
    emit grantedFollowUp();
}

void ConnectionStatus::sheetsClosed() {
    if (std::exchange(mStatusFollowUpHeld, false) && connected() && mConnectionGranted)
        doSetStatus();
}

void ConnectionStatus::connectionGranted() {
    ParoxLog("connectionGranted");
    mConnectionGranted = true;
    setStatusToConnectionStatus();
}

void ConnectionStatus::connectionDenied(const QString& device, const QString& address) {
    ParoxLog("connectionDenied");
    mSuspendConnectingForNow = true;
    mConnectionGranted = false;
    // Built by concatenation: a device name is never read as a format.
    const QString message = QStringLiteral("\"") + device +
                            QStringLiteral("\" refused the connnection. How would you like to "
                                           "proceed?");
    mParts.presenter.show({QStringLiteral("Connection Refused"),
                           message,
                           {{QStringLiteral("Try Again"), SheetPresenter::Role::TryAgain},
                            {QStringLiteral("Ignore This iPhone"), SheetPresenter::Role::Ignore}},
                           std::nullopt,
                           SheetPresenter::Kind::Sheet},
                          [this, address](SheetPresenter::Role role, bool) {
                              askRefused(role == SheetPresenter::Role::TryAgain, address);
                          });
}

void ConnectionStatus::askRefused(bool tryAgain, const QString& phoneAddress) {
    if (!tryAgain && !phoneAddress.isEmpty() && !mIgnoredPhones.contains(phoneAddress))
        mIgnoredPhones.append(phoneAddress);
    mSuspendConnectingForNow = false;
    if (mAutoConnect) mParts.clientServer.startAutoConnect();
    // A phone reached by its typed address is never found by the search: dial it again.
    if (tryAgain && mTypedAddress && !connectedOrConnecting())
        mParts.clientServer.addServer(*mTypedAddress);
}

void ConnectionStatus::directConnect() {
    performAfterDelay(this, kOpenSheetDelayMs, [this] { doDirectConnect(); });
}

void ConnectionStatus::doDirectConnect() {
    auto* panel = new DirectConnectPanel(mParts.window);
    panel->setAddress(Defaults::get(settings::kLastManualIP).value_or(QString()));
    mParts.presenter.showSheet(panel, [this, panel](int result) {
        const QString text = panel->address();
        panel->deleteLater();
        if (result != DirectConnectPanel::Accepted) return;
        setStatusLine(QStringLiteral("Connecting..."));
        performAfterDelay(this, kConnectDelayMs, [this, text] { doDirectConnectOkay(text); });
    });
}

void ConnectionStatus::connectToTypedAddress(const QString& text) {
    setStatusLine(QStringLiteral("Connecting..."));
    doDirectConnectOkay(text);
}

void ConnectionStatus::doDirectConnectOkay(const QString& typed) {
    const QString text = typed.trimmed();
    Defaults::set(settings::kLastManualIP, text);
    ParoxLog("doDirectConnectOkay: %@", text);
    if (text.isEmpty()) {
        setStatusToConnectionStatus();
        return;
    }
    const AddServerResult code = mParts.clientServer.addServer(text);
    if (code == AddServerResult::Connecting) {
        mTypedAddress = text;
        return;
    }
    setStatusToConnectionStatus();
    mParts.presenter.show({QStringLiteral("Unable To Connect"),
                           QStringLiteral("Unable to connect to the specified address.  ") +
                               unableToConnectDetail(code),
                           {{QStringLiteral("OK"), SheetPresenter::Role::Accept}},
                           std::nullopt,
                           SheetPresenter::Kind::Alert},
                          [](SheetPresenter::Role, bool) {});
}

} // namespace vantle
