// The status line and the headings, the phone's approval and refusal, the manual connection.
#include "app/status/ConnectionStatus.h"

#include "app/AppNames.h"
#include "app/PaneWidgets.h"
#include "net/GamePeer.h"
#include "platform/MainThread.h"
#include "platform/Settings.h"
#include "support/ParoxLog.h"
#include "transfer/ClientServerController.h"
#include "transfer/MRTransferController.h"
#include "ui/DirectConnectPanel.h"
#include "ui/SheetPresenter.h"

#include <QCoreApplication>
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
        return QCoreApplication::translate(
            "vantle::ConnectionStatus",
            "Ensure that you have entered the correct network address.");
    case AddServerResult::InvalidAddress:
        return QCoreApplication::translate("vantle::ConnectionStatus",
                                           "Ensure that you have entered a valid network address.");
    case AddServerResult::Connecting:
    case AddServerResult::CouldNotConnect:
        break;
    }
    return QCoreApplication::translate(
        "vantle::ConnectionStatus",
        "Ensure that your iPhone is turned on and the Vantle iPhone application is open.");
}

} // namespace

ConnectionStatus::ConnectionStatus(Parts parts, QObject* parent)
    : QObject(parent), mParts(std::move(parts)), mDialer(mParts.clientServer) {}

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
    setStatusLine(tr("Searching for iPhones..."));
}

void ConnectionStatus::setLastConnection() {
    mLastTransfer = QDateTime::currentDateTime();
    Defaults::set(settings::kLastTransfer, *mLastTransfer);
}

void ConnectionStatus::setStatusToConnectionStatus() {
    if (!mLabels.statusLine) return;
    ParoxLog("setStatusToConnectionStatus");
    const std::shared_ptr<GamePeer> phone = mParts.clientServer.peer();
    if (!connected() || !phone) {
        mConnectionGranted = false;
        mUploadPermission = UploadPermission::Unknown;
        mVersionAskedOn = {};
        mFollowUp = FollowUp::None;
        mLabels.phoneHeading->setText(tr("Open Vantle on iPhone to start the transfer"));
        setStatusLine(mLastTransfer ? tr("Not connected.") : tr("Welcome to Vantle."));
        emit connectionLost();
    } else {
        setLastConnection();
        if (mConnectionGranted) {
            // The name is shown as it came; it is never read as a format.
            setStatusLine(tr("Connected to %1.").arg(phone->name().value_or(QString())));
            mLabels.phoneHeading->setText(tr("Files on connected iPhone"));
            performAfterDelay(this, kGrantedFollowUpMs, [this] { doSetStatus(); });
        } else {
            setStatusLine(tr("Waiting for approval..."));
        }
        // Once a connection; shown again (approval) it is still the answer of the same phone.
        if (!mVersionAskedOn.isOf(phone)) askForVersion(phone);
    }
    nameAfterHeading(mLabels.phoneHeading);
    showTopHeading();
    ParoxLog("setStatus: %d", mFirstTime);
    emit stateShown(std::exchange(mFirstTime, false));
}

void ConnectionStatus::askForVersion(const std::shared_ptr<GamePeer>& phone) {
    mUploadPermission = UploadPermission::Unknown;
    mVersionAskedOn = ConnectionTag(phone);
    MRTransferController& transfer = mParts.transfer;
    mVersionCheck.runThenCallback(
        [&transfer] {
            VersionAnswer answer{-1, QLatin1String(names::kLocalAppName), true};
            answer.version =
                transfer.askClientForVersionAndInfo(&answer.appName, &answer.allowUpload);
            return answer;
        },
        [this, askedOn = mVersionAskedOn](const VersionAnswer& answer) {
            versionAnswered(askedOn, answer);
        });
}

void ConnectionStatus::versionAnswered(const ConnectionTag& askedOn, const VersionAnswer& answer) {
    if (!connected() || !askedOn.isOf(mParts.clientServer.peer())) {
        ParoxLog("version answer dropped: the connection it was asked on has gone");
        return;
    }
    // No answer (or none that says) leaves uploads allowed, as a phone that says nothing of
    // them takes them; a phone that never answers has been disconnected by now.
    if (answer.version < 0) {
        ParoxLog("no version from the phone: uploads stay allowed");
        // A phone may say nothing before it approves: it is asked again with its approval.
        if (!mConnectionGranted) mVersionAskedOn = {};
    }
    mPhoneAppName = answer.appName;
    mUploadPermission = answer.allowUpload ? UploadPermission::Allowed : UploadPermission::Refused;
    ParoxLog("phone version %d, uploads %@", answer.version,
             answer.allowUpload ? QStringLiteral("allowed") : QStringLiteral("refused"));
    showTopHeading();
    emit uploadPermissionKnown();
    if (mFollowUp == FollowUp::WaitsForAnswer && mConnectionGranted) doSetStatus();
}

void ConnectionStatus::showTopHeading() {
    mLabels.topHeading->setText(mUploadPermission == UploadPermission::Refused
                                    ? tr("Download from %1").arg(mPhoneAppName)
                                    : tr("Files awaiting transfer"));
}

void ConnectionStatus::shutDown() {
    mVersionCheck.shutDown(kVersionCheckEndLimit);
    mDialer.shutDown(kLookupEndLimit);
}

void ConnectionStatus::doSetStatus() {
    // Nothing is sent before the phone has said whether it takes uploads; its answer comes back
    // here. The listing would wait behind the check anyway.
    if (mUploadPermission == UploadPermission::Unknown) {
        mFollowUp = FollowUp::WaitsForAnswer;
        return;
    }
    if (mParts.presenter.sheetOpen()) {
        mFollowUp = FollowUp::WaitsForSheets;
        return;
    }
    mFollowUp = FollowUp::None;
    emit grantedFollowUp();
}

void ConnectionStatus::sheetsClosed() {
    if (mFollowUp == FollowUp::WaitsForSheets && connected() && mConnectionGranted) doSetStatus();
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
    const QString message =
        tr("\"%1\" refused the connnection. How would you like to proceed?").arg(device);
    mParts.presenter.show({tr("Connection Refused"),
                           message,
                           {{tr("Try Again"), SheetPresenter::Role::TryAgain},
                            {tr("Ignore This iPhone"), SheetPresenter::Role::Ignore}},
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
    // The refused connection may not have closed yet: a new try starts without it.
    if (const auto refusing = mParts.clientServer.peer();
        tryAgain && refusing && !mConnectionGranted && refusing->address() == phoneAddress)
        refusing->disconnect();
    if (mAutoConnect) mParts.clientServer.startAutoConnect();
    // A phone reached by its typed address is never found by the search: dial it again.
    if (tryAgain && mTypedAddress && !connectedOrConnecting())
        mDialer.dial(*mTypedAddress, [](AddServerResult code) {
            ParoxLog("dialled the typed address again: %d", static_cast<int>(code));
        });
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
        setStatusLine(tr("Connecting..."));
        performAfterDelay(this, kConnectDelayMs, [this, text] { doDirectConnectOkay(text); });
    });
}

void ConnectionStatus::connectToTypedAddress(const QString& text) {
    setStatusLine(tr("Connecting..."));
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
    // "Connecting..." stays while a typed name is looked up.
    mDialer.dial(text, [this, text](AddServerResult code) { dialed(text, code); });
}

void ConnectionStatus::dialed(const QString& text, AddServerResult code) {
    if (code == AddServerResult::Connecting) {
        mTypedAddress = text;
        return;
    }
    setStatusToConnectionStatus();
    mParts.presenter.show(
        {tr("Unable To Connect"),
         tr("Unable to connect to the specified address.  %1").arg(unableToConnectDetail(code)),
         {{tr("OK"), SheetPresenter::Role::Accept}},
         std::nullopt,
         SheetPresenter::Kind::Alert},
        [](SheetPresenter::Role, bool) {});
}

} // namespace vantle
