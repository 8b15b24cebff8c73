#pragma once

#include "platform/BackgroundWork.h"

#include <QObject>
#include <QString>
#include <memory>

class QDBusPendingCallWatcher;
class QDBusUnixFileDescriptor;

namespace vantle {

// Keeps the computer from sleeping while something needs it awake: a "block" inhibitor lock on
// sleep from logind (org.freedesktop.login1 on the system bus), held as the file descriptor its
// Inhibit call returns and released by closing it. The window never waits: the bus is connected
// on a worker and the call is asynchronous. Without a bus or logind nothing is held, and
// `unavailable` says why once; nothing is tried again. Main thread only.
class SleepInhibitor final : public QObject {
    Q_OBJECT

public:
    // Who asks, as logind lists the lock.
    static constexpr const char* kWho = "Vantle";

    // `busAddress` empty: the system bus. Otherwise a bus address (a private bus, for tests).
    explicit SleepInhibitor(QString busAddress = {}, QObject* parent = nullptr);
    ~SleepInhibitor() override;
    SleepInhibitor(const SleepInhibitor&) = delete;
    SleepInhibitor& operator=(const SleepInhibitor&) = delete;

    // Takes the lock with `why`, or, when one is held for another reason, takes a new one and
    // then lets the old one go, so the computer is never left unguarded in between.
    void hold(const QString& why);
    // Lets the lock go now; one still being taken is let go the moment it comes.
    void release();

    bool held() const { return mLock != nullptr; }
    // The reason of the lock held; empty without one.
    QString heldReason() const { return mLock ? mHeldReason : QString(); }

signals:
    // No lock can be had: no system bus, no logind, or it refused. Emitted once.
    void unavailable(const QString& reason);

private:
    enum class Bus { NotConnected, Connecting, Connected, Unavailable };

    void connectBus();
    void busConnected(const QString& error);
    void ask();
    void answered(const QString& why, QDBusPendingCallWatcher* done);
    void fail(const QString& reason);

    QString mBusAddress;
    QString mConnectionName;
    Bus mBus = Bus::NotConnected;
    // The reason wanted now; empty: no lock wanted.
    QString mWanted;
    bool mAsking = false;
    // The lock: closing the descriptor lets it go.
    std::unique_ptr<QDBusUnixFileDescriptor> mLock;
    QString mHeldReason;
    // Connects to the bus, which may take long. Last, so that it goes first.
    BackgroundWork mConnecting{1};
};

} // namespace vantle
