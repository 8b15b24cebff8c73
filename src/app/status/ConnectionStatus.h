#pragma once

#include "app/WindowParts.h"
#include "app/status/TypedAddressDialer.h"
#include "platform/BackgroundWork.h"
#include "transfer/ConnectionTag.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <optional>

class QLabel;
class QWidget;

namespace vantle {

class ClientServerController;
class GamePeer;
class MRTransferController;
class SheetPresenter;

// Whether the connected phone takes uploads, as its answer to the version check says.
enum class UploadPermission {
    Unknown, // no phone, or its answer has not come yet
    Allowed, // it does, or its answer did not come and it is still connected
    Refused,
};

// What the user sees of the connection: the status line, the two panes' headings, the phone's
// approval or refusal, whether it takes uploads, and the manual connection to a typed address.
// Main thread; the version check and the look-up of a typed name run on workers.
class ConnectionStatus final : public QObject {
    Q_OBJECT

public:
    using Parts = WindowParts;
    // The labels it keeps up to date; owned by the window.
    struct Labels {
        QLabel* statusLine = nullptr;
        QLabel* topHeading = nullptr;
        QLabel* phoneHeading = nullptr;
    };

    explicit ConnectionStatus(Parts parts, QObject* parent = nullptr);

    void setLabels(Labels labels);
    // Reads when the phone was last connected.
    void restoreLastConnection();

    bool connected() const;
    bool connectedOrConnecting() const;
    bool granted() const { return mConnectionGranted; }
    UploadPermission uploadPermission() const { return mUploadPermission; }
    // The connected phone has said it takes uploads.
    bool uploadsAllowed() const { return mUploadPermission == UploadPermission::Allowed; }
    // Files may be added to the queue: for later without a phone, now once the phone has said
    // it takes them.
    bool takesFiles() const { return !connected() || uploadsAllowed(); }
    QStringList phonesToIgnore() const { return mIgnoredPhones; }
    bool isIgnored(const QString& address) const { return mIgnoredPhones.contains(address); }
    bool suspendLookingForServers() const { return mSuspendConnectingForNow; }
    bool autoConnect() const { return mAutoConnect; }
    void setAutoConnect(bool on) { mAutoConnect = on; }

    void setStatusToConnectionStatus();
    void startedDiscovery();
    void setStatusLine(const QString& text);
    // The window's sheets have all closed: a follow-up they held up runs now.
    void sheetsClosed();

    // The manual-connect sheet, a moment after its menu item.
    void directConnect();
    // Connects to a typed address ("HOST" or "HOST:PORT") as the sheet's connect button does,
    // without the sheet (the command line's --connect).
    void connectToTypedAddress(const QString& text);

    // The program ends (the connection is closed by now): no more work starts, and the version
    // check under way is waited for a short while.
    void shutDown();
    // Stands in for the system's resolver of typed names (tests).
    void setHostLookup(HostLookup lookUp) { mDialer.setHostLookup(std::move(lookUp)); }

    // The transfer layer's word that the phone approved, or refused, the PC.
    void connectionGranted();
    void connectionDenied(const QString& device, const QString& address);

signals:
    void statusChanged(const QString& status);
    // The connection has gone: what ran over it ends.
    void connectionLost();
    // The state was shown anew; `firstTime` for the first time since the program started.
    void stateShown(bool firstTime);
    // The phone approved, has answered the version check, and no sheet is open: uploads and the
    // listing may start.
    void grantedFollowUp();
    // The connected phone's answer to the version check has come: whether files may be added.
    void uploadPermissionKnown();

private:
    // The version check's outcome, on the worker that asked.
    struct VersionAnswer {
        int version = -1;
        QString appName;
        bool allowUpload = true;
    };
    // How long the end of the program waits for the version check once the connection is
    // closed, and for a look-up (which nothing stops: it is dropped, not waited for).
    static constexpr std::chrono::milliseconds kVersionCheckEndLimit{2000};
    static constexpr std::chrono::milliseconds kLookupEndLimit{0};

    void askForVersion(const std::shared_ptr<GamePeer>& phone);
    void versionAnswered(const ConnectionTag& askedOn, const VersionAnswer& answer);
    void showTopHeading();
    void doSetStatus();
    void setLastConnection();
    void askRefused(bool tryAgain, const QString& phoneAddress);
    void doDirectConnect();
    void doDirectConnectOkay(const QString& typed);
    void dialed(const QString& text, AddServerResult code);

    Parts mParts;
    Labels mLabels;
    UploadPermission mUploadPermission = UploadPermission::Unknown;
    // The connection the version check was asked on, and the phone application's name it gave.
    ConnectionTag mVersionAskedOn;
    QString mPhoneAppName;
    bool mConnectionGranted = false;
    bool mSuspendConnectingForNow = false;
    bool mFirstTime = true;
    bool mAutoConnect = true;
    QStringList mIgnoredPhones;
    std::optional<QDateTime> mLastTransfer;
    // What the granted connection's follow-up (uploads, the phone's listing) waits for: the
    // phone's answer to the version check, or the sheets to close (or a phone found meanwhile
    // would sit idle).
    enum class FollowUp { None, WaitsForAnswer, WaitsForSheets };
    FollowUp mFollowUp = FollowUp::None;
    // The address last typed that reached a phone: "Try Again" after a refusal dials it again,
    // since discovery alone would never find that phone.
    std::optional<QString> mTypedAddress;
    TypedAddressDialer mDialer;
    // Last, so that it goes first: the version check, one at a time.
    BackgroundWork mVersionCheck{1};
};

} // namespace vantle
