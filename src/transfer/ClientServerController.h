#pragma once

#include "net/GameClientDelegate.h"
#include "platform/NotificationCenter.h"
#include "transfer/ConnectionTag.h"
#include "transfer/RequestDispatcher.h"
#include "transfer/RequestTurns.h"
#include "transfer/TransferTimeouts.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace vantle {

class ClientServerHost;
class GameClient;
class GamePeer;
class NSNetServicesWrapper;
class ResponseSlot;

// What addServer makes of a typed address.
enum class AddServerResult : int {
    Connecting = 0,       // connecting, or already connected or connecting
    CouldNotConnect = 1,  // the connection could not be started
    InvalidAddress = 2,   // not an address, or a bad port
    CouldNotMakePeer = 3, // no phone could be made of the address
};

// The PC's side of the conversation with one phone: the session (discovery, the choice of phone,
// typed addresses, the restart after a loss), the PC's requests one at a time, the routing of
// what the phone sends, and notifications held back while a request is in flight. Made and
// destroyed on the main thread; sendRequest runs on any thread but the network thread.
class ClientServerController : public GameClientDelegate {
public:
    // `responses` must outlive the controller; `host` too.
    ClientServerController(ClientServerHost& host, ResponseSlot& responses,
                           const TransferTimeouts& timeouts = {});
    ~ClientServerController() override;
    ClientServerController(const ClientServerController&) = delete;
    ClientServerController& operator=(const ClientServerController&) = delete;

    // Who answers the phone's requests; null answers them as unknown requests. The dispatcher
    // must outlive the controller or be unset first.
    void setRequestDispatcher(RequestDispatcher* dispatcher);

    // --- Requests (any thread but the network thread) ---
    // The response; none when not connected, on time-out or a lost connection; an empty
    // dictionary when the request before it was still in flight after the turn time-out;
    // {"ErrorCode": -996, "Success": false} when it could not be sent. The answer is waited for
    // as long as `limit` says.
    std::optional<QVariantMap> sendRequest(const QVariantMap& request,
                                           ResponseLimit limit = ResponseLimit::OfThread);
    // Posts now, or, while a request is in flight, after its successful response; of one name
    // only the latest is kept. Posted while answering a phone's request, it belongs to that
    // connection: dropped when the connection ends first, and delivered only while it is
    // current (a refusal also once none is).
    void postNotificationNameAfterDelay(const QString& name, const QVariant& object = {},
                                        const QVariant& userInfo = {});
    // Main thread: posts on the default notification centre.
    void delayedNote(const Notification& notification);
    bool makingRequest() const { return mMakingRequest.load(); }
    // Requests waiting for their turn.
    std::size_t requestsWaitingForTurn() const { return mRequestLock.waiting(); }

    // The phone whose request the calling thread is answering now; none outside such an answer.
    static std::shared_ptr<GamePeer> answeringPeer();

    // --- Routing (network thread) ---
    // The payload encoding is encodeMessage / decodeMessage (MessageEnvelope.h).
    void gotData(const QByteArray& payload, const std::shared_ptr<GamePeer>& from);

    // --- Session (main thread) ---
    void startClient();
    bool startAutoConnect();
    bool startLookingForServers();
    void stopLookingForServers();
    void doRestartAutoConnect();
    // A typed address; a host name in it is looked up here, as long as that takes.
    AddServerResult addServer(const QString& text);
    // An address already found for a typed one.
    AddServerResult addServer(NSNetServicesWrapper address);
    void showConnectError();
    // Any thread: logs, and lets the host log it.
    void _showAlertWithTitle(const QString& title, const QString& message);

    // --- State (any thread) ---
    bool connected() const;
    bool connectedOrConnecting() const;
    std::shared_ptr<GamePeer> peer() const { return _peer.load(); }
    std::shared_ptr<GameClient> client() const { return _client.load(); }

    // GameClientDelegate
    std::uint32_t implementedCallbacks() const override;
    void gameClientDidStartDiscoveringServers(GameClient* client) override;
    void gameClientDidUpdateOnlineServers(GameClient* client) override;
    void gameClientWillStopDiscoveringServers(GameClient* client) override;
    void gameClientDidFailConnectingToServer(GameClient* client,
                                             const std::shared_ptr<GamePeer>& server) override;
    void gameClientDidConnectToServer(GameClient* client,
                                      const std::shared_ptr<GamePeer>& server) override;
    void gameClientDidReceiveData(GameClient* client, const QByteArray& payload,
                                  const std::shared_ptr<GamePeer>& server, bool immediate) override;
    void gameClientDidDisconnectFromServer(GameClient* client,
                                           const std::shared_ptr<GamePeer>& server) override;

private:
    struct DelayedNotification {
        Notification note;
        // The connection it came on; none for what the PC itself posted.
        std::optional<ConnectionTag> cameOn;
    };

    // Queues `work` on the main thread; dropped when the controller is gone by then.
    void onMainThread(std::function<void()> work);
    void flushDelayedNotifications();
    // Main thread: posts it unless the connection it came on is no longer the current one.
    void deliver(const DelayedNotification& held);
    void dropDelayedNotificationsOf(const std::shared_ptr<GamePeer>& ended);
    void answerRequest(const QVariantMap& request, const std::shared_ptr<GamePeer>& from);

    ClientServerHost& mHost;
    ResponseSlot& mResponses;
    const TransferTimeouts mTimeouts;
    // Lives on the main thread: the context of every hand-off there.
    std::unique_ptr<QObject> mMainContext;
    UnhandledRequestDispatcher mUnhandled;
    std::atomic<RequestDispatcher*> mDispatcher;

    std::atomic<std::shared_ptr<GameClient>> _client;
    std::atomic<std::shared_ptr<GamePeer>> _peer;
    std::atomic<std::int32_t> mRequestNum{0};
    RequestTurns mRequestLock;
    std::atomic<bool> mMakingRequest{false};

    std::mutex mDelayedNotificationsLock;
    std::vector<DelayedNotification> mDelayedNotifications;
};

} // namespace vantle
