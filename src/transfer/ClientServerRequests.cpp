// The PC's requests, the routing of what the phone sends, and held-back notifications.
#include "net/GameClient.h"
#include "net/GamePeer.h"
#include "net/NetworkThread.h"
#include "platform/MainThread.h"
#include "support/ParoxLog.h"
#include "transfer/ClientServerController.h"
#include "transfer/MessageEnvelope.h"
#include "transfer/ProtocolKeys.h"
#include "transfer/ResponseSlot.h"

#include <QThread>
#include <algorithm>
#include <chrono>
#include <utility>

namespace vantle {
namespace {

bool onNetworkThread() {
    QObject* loop = gClientRunloop.load();
    return loop && QThread::currentThread() == loop->thread();
}

QString payloadDescription(const QByteArray& payload) {
    return QStringLiteral("<%1 bytes>").arg(payload.size());
}

QString notificationDescription(const Notification& note) {
    return stringWithFormat("%@ %@ %@", note.name, note.object, note.userInfo);
}

// A refusal still matters once its connection is over: a phone may refuse and hang up at once,
// and the refusal's sheet is where the user stops the PC from dialling it again.
bool outlivesItsConnection(const QString& name) {
    return name == notes::kConnectionDenied;
}

// The phone whose request this thread is answering.
thread_local std::shared_ptr<GamePeer> tAnswering;

class AnsweringScope {
public:
    explicit AnsweringScope(const std::shared_ptr<GamePeer>& peer)
        : mOuter(std::exchange(tAnswering, peer)) {}
    ~AnsweringScope() { tAnswering = std::move(mOuter); }
    AnsweringScope(const AnsweringScope&) = delete;
    AnsweringScope& operator=(const AnsweringScope&) = delete;

private:
    std::shared_ptr<GamePeer> mOuter;
};

} // namespace

std::optional<QVariantMap> ClientServerController::sendRequest(const QVariantMap& request,
                                                               ResponseLimit limit) {
    const QVariant type = request.value(keys::kRequestType);
    ParoxLog("sendRequest for %@", type);
    if (onNetworkThread()) {
        // Its answer could only arrive on this very thread.
        ParoxErrorLog("sendRequest for %@ on the network thread refused", type);
        return std::nullopt;
    }
    if (!connected()) {
        ParoxLog("sendRequest when not connected...");
        return std::nullopt;
    }

    const RequestTurns::Ticket ticket = mRequestLock.join();
    if (!mRequestLock.isTurnOf(ticket)) {
        ParoxLog("sendRequest for %@ to wait because still waiting for a response from ...", type);
        mRequestLock.waitForTurn(ticket, RequestTurns::Clock::now() + mTimeouts.turn,
                                 [this] { return !connected(); });
        if (!mRequestLock.isTurnOf(ticket) && mMakingRequest) {
            mRequestLock.leave(ticket);
            ParoxLog("%d second timeout while waiting for response so we send new request!",
                     static_cast<int>(
                         std::chrono::duration_cast<std::chrono::seconds>(mTimeouts.turn).count()));
            if (auto current = peer()) current->disconnect();
            return QVariantMap{};
        }
        ParoxLog("sendRequest for %@ finished waiting", type);
    }

    mMakingRequest = true;
    if (!mRequestLock.tryTake(ticket)) {
        ParoxLog("sendRequest for %@ will wait on mutex", type);
        mRequestLock.take(ticket);
    }

    QVariantMap message = request;
    const std::int32_t number = ++mRequestNum;
    addRequestEnvelope(message, number);

    // The peer it went to: a later failure ends this connection, never a newer one.
    const std::shared_ptr<GamePeer> to = peer();
    const std::shared_ptr<GameClient> via = client();
    const QByteArray payload = encodeMessage(message);
    if (payload.isEmpty() || !to || !via || !via->sendData(payload, to, false)) {
        mMakingRequest = false;
        mRequestLock.release();
        ParoxLog("Error with sendRequest for %@", type);
        return QVariantMap{{keys::kErrorCode, static_cast<qint64>(protocol::kCannotSend)},
                           {keys::kSuccess, false}};
    }

    // Only the connection it went on can answer it: another phone connected meanwhile must not
    // keep it waiting for the whole limit (and every later request behind it).
    std::optional<QVariantMap> response = mResponses.waitForResponse(
        number, [this, to] { return connected() && peer() == to; }, limit);
    mMakingRequest = false;
    if (!response) {
        ParoxLog("sendRequest: waitForResponse returned nil");
        to->disconnect();
        mRequestLock.release();
        return std::nullopt;
    }
    ParoxLog("sendRequest: got response");
    flushDelayedNotifications();
    mRequestLock.release();
    return response;
}

void ClientServerController::flushDelayedNotifications() {
    std::vector<DelayedNotification> notes;
    {
        std::lock_guard lock(mDelayedNotificationsLock);
        notes.swap(mDelayedNotifications);
    }
    if (notes.empty()) return;
    ParoxLog("sendRequest sending %d delayed notifications", notes.size());
    for (DelayedNotification& held : notes)
        onMainThread([this, held = std::move(held)] { deliver(held); });
}

void ClientServerController::deliver(const DelayedNotification& held) {
    const std::shared_ptr<GamePeer> current = peer();
    if (held.cameOn && !held.cameOn->isOf(current) &&
        (current || !outlivesItsConnection(held.note.name))) {
        ParoxLog("dropping %@: the connection it came on has ended",
                 notificationDescription(held.note));
        return;
    }
    delayedNote(held.note);
}

void ClientServerController::dropDelayedNotificationsOf(const std::shared_ptr<GamePeer>& ended) {
    std::vector<DelayedNotification> outliving;
    {
        std::lock_guard lock(mDelayedNotificationsLock);
        std::erase_if(mDelayedNotifications, [&](DelayedNotification& held) {
            if (!held.cameOn || !held.cameOn->isOf(ended)) return false;
            if (outlivesItsConnection(held.note.name)) {
                outliving.push_back(std::move(held));
                return true;
            }
            ParoxLog("dropping the held-back %@: its connection has ended",
                     notificationDescription(held.note));
            return true;
        });
    }
    // No request of that connection is left to wait for.
    for (DelayedNotification& held : outliving)
        onMainThread([this, held = std::move(held)] { deliver(held); });
}

std::shared_ptr<GamePeer> ClientServerController::answeringPeer() {
    return tAnswering;
}

void ClientServerController::postNotificationNameAfterDelay(const QString& name,
                                                            const QVariant& object,
                                                            const QVariant& userInfo) {
    ParoxLog("postNotificationNameAfterDelay for %@ %@ %@", name, object, userInfo);
    DelayedNotification held{Notification{name, object, userInfo}, std::nullopt};
    if (const std::shared_ptr<GamePeer> from = answeringPeer()) held.cameOn = ConnectionTag(from);
    std::lock_guard lock(mDelayedNotificationsLock);
    if (!mMakingRequest) {
        ParoxLog("postNotificationNameAfterDelay calling performSelectorOnMainThread with %@",
                 notificationDescription(held.note));
        onMainThread([this, held = std::move(held)] { deliver(held); });
        return;
    }
    ParoxLog("adding %@ to mDelayedNotifications", notificationDescription(held.note));
    const auto same =
        std::find_if(mDelayedNotifications.begin(), mDelayedNotifications.end(),
                     [&](const DelayedNotification& other) { return other.note.name == name; });
    if (same != mDelayedNotifications.end()) mDelayedNotifications.erase(same);
    mDelayedNotifications.push_back(std::move(held));
}

void ClientServerController::delayedNote(const Notification& notification) {
    ParoxLog("delayedNote: %@", notificationDescription(notification));
    NotificationCenter::defaultCenter().post(notification);
}

void ClientServerController::gotData(const QByteArray& payload,
                                     const std::shared_ptr<GamePeer>& from) {
    QString error;
    const std::optional<QVariantMap> message = decodeMessage(payload, &error);
    if (!error.isEmpty()) ParoxLog("Failed de-serializing dictionary: \"%@\"", error);
    if (!message) {
        ParoxLog("received something else: %@", payloadDescription(payload));
        return;
    }
    switch (Envelope::decode(*message).messageType) {
    case MessageType::Request:
        answerRequest(*message, from);
        break;
    case MessageType::Response:
        mResponses.setResponse(*message);
        break;
    case MessageType::Unknown:
        ParoxLog("received something else: %@", QVariant(*message));
        break;
    }
}

void ClientServerController::answerRequest(const QVariantMap& request,
                                           const std::shared_ptr<GamePeer>& from) {
    RequestDispatcher* dispatcher = mDispatcher.load();
    std::optional<QVariantMap> response;
    {
        const AnsweringScope answering(from);
        response = (dispatcher ? dispatcher : &mUnhandled)->dispatchRequest(request);
    }
    if (!response) {
        ParoxLog("No request num?");
        return;
    }
    const QByteArray payload = encodeMessage(*response);
    const std::shared_ptr<GameClient> via = client();
    if (payload.isEmpty() || !via || !via->sendData(payload, from, false))
        ParoxLog("Error sending response");
}

} // namespace vantle
