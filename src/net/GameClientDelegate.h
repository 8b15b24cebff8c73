#pragma once

#include <QByteArray>
#include <cstdint>
#include <memory>

namespace vantle {

class GameClient;
class GamePeer;

// What the client reports to the connection session. The client asks implementedCallbacks() once,
// when the delegate is set, and sends only the callbacks whose bit is set. Discovery callbacks
// run on the thread that started discovery; connection callbacks on the network thread, or on
// the thread that disconnects a peer.
class GameClientDelegate {
public:
    enum Callback : std::uint32_t {
        kDidStartDiscoveringServers = 1u << 0,
        kDidUpdateOnlineServers = 1u << 1,
        kWillStopDiscoveringServers = 1u << 2,
        kDidFailConnectingToServer = 1u << 3,
        kDidConnectToServer = 1u << 4,
        kDidReceiveData = 1u << 5,
        kDidDisconnectFromServer = 1u << 6,
    };

    virtual ~GameClientDelegate() = default;
    virtual std::uint32_t implementedCallbacks() const = 0;

    virtual void gameClientDidStartDiscoveringServers(GameClient*) {}
    virtual void gameClientDidUpdateOnlineServers(GameClient*) {}
    virtual void gameClientWillStopDiscoveringServers(GameClient*) {}
    virtual void gameClientDidFailConnectingToServer(GameClient*,
                                                     const std::shared_ptr<GamePeer>&) {}
    virtual void gameClientDidConnectToServer(GameClient*, const std::shared_ptr<GamePeer>&) {}
    virtual void gameClientDidReceiveData(GameClient*, const QByteArray&,
                                          const std::shared_ptr<GamePeer>&, bool /*immediate*/) {}
    virtual void gameClientDidDisconnectFromServer(GameClient*, const std::shared_ptr<GamePeer>&) {}
};

} // namespace vantle
