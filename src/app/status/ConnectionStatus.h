#pragma once

#include "app/WindowParts.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

class QLabel;
class QWidget;

namespace vantle {

class ClientServerController;
class MRTransferController;
class SheetPresenter;

// What the user sees of the connection: the status line, the two panes' headings, the phone's
// approval or refusal, and the manual connection to a typed address. Main thread.
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
    // The connected phone takes uploads (true without a phone).
    bool allowUpload() const { return mAllowUpload; }
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

    // The transfer layer's word that the phone approved, or refused, the PC.
    void connectionGranted();
    void connectionDenied(const QString& device, const QString& address);

signals:
    void statusChanged(const QString& status);
    // The connection has gone: what ran over it ends.
    void connectionLost();
    // The state was shown anew; `firstTime` for the first time since the program started.
    void stateShown(bool firstTime);
    // The phone approved and no sheet is open: uploads and the listing may start.
    void grantedFollowUp();

private:
    void doSetStatus();
    void setLastConnection();
    void askRefused(bool tryAgain, const QString& phoneAddress);
    void doDirectConnect();
    void doDirectConnectOkay(const QString& typed);

    Parts mParts;
    Labels mLabels;
    bool mAllowUpload = true;
    bool mConnectionGranted = false;
    bool mSuspendConnectingForNow = false;
    bool mFirstTime = true;
    bool mAutoConnect = true;
    QStringList mIgnoredPhones;
    std::optional<QDateTime> mLastTransfer;
    // The granted connection's follow-up (uploads, the phone's listing) found a sheet open: it
    // runs once the sheets have closed, or a phone found meanwhile would sit idle.
    bool mStatusFollowUpHeld = false;
    // The address last typed that reached a phone: "Try Again" after a refusal dials it again,
    // since discovery alone would never find that phone.
    std::optional<QString> mTypedAddress;
};

} // namespace vantle
