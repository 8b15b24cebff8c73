#pragma once

#include "platform/HandoverMessage.h"
#include "platform/Result.h"

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;
class QLocalSocket;

namespace vantle {

// One program per profile. The first start listens on a local socket named after the profile's
// data folder; a later start hands its files and address to it there and ends. The listening
// socket is private to the user.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        Primary,    // this process listens: it is the program
        HandedOver, // the running program took the message: this process may end
    };
    // Answers a hand-over, on this object's thread: true once what it brought is safe from the
    // end of the program. The first answer counts; none at all is a refusal.
    using Reply = std::function<void(bool taken)>;
    using Receiver = std::function<void(const HandoverMessage& message, Reply reply)>;

    explicit SingleInstance(const QString& dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Where the program of the profile with `dataFolder` listens: a socket in the user's private
    // runtime folder (a pipe name on Windows) from a hash of the folder's canonical path and the
    // user, so another profile or another user never reaches it.
    static QString serverName(const QString& dataFolder);
    QString serverName() const { return mServerName; }

    // Hands `message` over to the running program and waits (bounded) until it has taken it, or,
    // when none runs, clears what a crashed one left and starts listening. Of several processes
    // claiming at once exactly one becomes Primary. An error when a program runs but did not take
    // the message, or when listening failed. Blocks; no event loop needed.
    Result<Role> claim(const HandoverMessage& message);

    // Primary only: from now on each hand-over goes to `receiver`, and the later start is told
    // it was taken only when the receiver replies so. Without one it is told so once read.
    void setReceiver(Receiver receiver) { mReceiver = std::move(receiver); }

signals:
    // Primary only, on its thread: a later start handed this over (already checked).
    void messageReceived(const vantle::HandoverMessage& message);

private:
    enum class Delivery { Delivered, NobodyListening, Failed };

    Delivery deliver(const HandoverMessage& message, QString& error) const;
    Result<void> listen();
    void accept();
    void readFrom(QLocalSocket* socket);
    static void stopReading(QLocalSocket* socket);
    static void answer(QLocalSocket* socket, bool accepted);
    static Reply replyTo(QLocalSocket* socket);

    const QString mServerName;
    QLocalServer* mServer = nullptr;
    Receiver mReceiver;
};

} // namespace vantle
