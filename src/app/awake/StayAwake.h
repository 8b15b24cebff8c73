#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QTimer;

namespace vantle {

class SleepInhibitor;

// Keeps the computer awake while files move: from the first item sent or received until the
// uploads and the downloads are all idle, logind holds sleep off with a reason that names the
// phone and what moves. A short pause between two items keeps the lock. Main thread.
class StayAwake final : public QObject {
    Q_OBJECT

public:
    // The connected phone's name as it gave it; empty when unknown.
    using PhoneName = std::function<QString()>;
    // What moves one way: the item in front and how many go, that one included.
    struct Movement {
        QString first;
        int count = 0;
    };
    // How long nothing moves before the lock goes: longer than the pause between two items.
    static constexpr int kIdleReleaseMs = 1500;

    // `busAddress` empty: the system bus.
    explicit StayAwake(PhoneName phoneName, const QString& busAddress = {},
                       QObject* parent = nullptr);

    // An upload began with `name`; `itemsLeft` queued items go, that one included.
    void sendingStarted(const QString& name, int itemsLeft);
    void sendingStopped();
    // `count` downloads are asked for, the one in front called `first`.
    void receivingChanged(const QString& first, int count);
    // Nothing moves any more: the lock goes at once.
    void connectionLost();
    void shutDown();

    // The reason logind shows, in the program's words; empty when nothing moves.
    static QString reason(const QString& phone, const Movement& sending, const Movement& receiving);

private:
    void update();

    PhoneName mPhoneName;
    Movement mSending;
    Movement mReceiving;
    SleepInhibitor* mInhibitor = nullptr;
    QTimer* mIdle = nullptr;
};

} // namespace vantle
