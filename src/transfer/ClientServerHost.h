#pragma once

#include <QString>

namespace vantle {

// What the connection session needs of the window (or of whatever stands in for it). Every call
// comes on the main thread.
class ClientServerHost {
public:
    virtual ~ClientServerHost() = default;

    // The connection changed (made, lost, failed); the host shows it and, once a phone is
    // connected, asks it for its version.
    virtual void setStatusToConnectionStatus() = 0;
    // Discovery has started: the status shows that the PC is searching.
    virtual void startedDiscovery() = 0;
    // A modal alert with the button "OK".
    virtual void showAlert(const QString& title, const QString& message) = 0;
    // A failure the text only logs ("Check your networking configuration."); no window.
    virtual void logAlert(const QString& title, const QString& message) = 0;
    // Phones at these addresses ("host:port") are never connected to automatically.
    virtual bool isIgnored(const QString& address) const = 0;
    virtual bool shouldAutoConnect() const = 0;
    // While true, a lost connection does not start a new search.
    virtual bool suspendLookingForServers() const = 0;
};

} // namespace vantle
