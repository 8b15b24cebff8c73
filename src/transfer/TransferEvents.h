#pragma once

#include <QObject>
#include <QString>
#include <optional>

namespace vantle {

struct Notification;

// The transfer layer's notifications as typed signals: each one's user info is read here and
// nowhere else. Observes the default notification centre while it lives and emits where the
// centre delivers, on the main thread. What reaches it has passed the client-server controller,
// which drops what a connection sent once a newer one is up.
class TransferEvents : public QObject {
    Q_OBJECT

public:
    explicit TransferEvents(QObject* parent = nullptr);
    ~TransferEvents() override;
    TransferEvents(const TransferEvents&) = delete;
    TransferEvents& operator=(const TransferEvents&) = delete;

signals:
    // The phone's verdict on this PC. A text the phone's connection could not give is empty.
    void connectionAllowed(const QString& deviceName, const QString& phoneAddress);
    void connectionDenied(const QString& deviceName, const QString& phoneAddress);
    // The files on the phone changed.
    void serverListingChanged();
    // The item asked for has all arrived; the phone may or may not say which one it was.
    void transferFinished(const std::optional<QString>& path);
    void downloadProgress(quint64 total, quint64 received);
    // A cancelled download is over without its item; its progress display resets.
    void downloadCancelled();
    // A download ended without its item; `reason` is a sentence for the user.
    void downloadFailed(const QString& reason);

private:
    void connectionVerdict(const Notification& note);
    void finished(const Notification& note);
    void progress(const Notification& note);
    void failed(const Notification& note);
};

} // namespace vantle
