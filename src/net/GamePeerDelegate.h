#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <optional>

namespace vantle {

class GamePeer;

// What a GamePeer asks and tells its owner (the client). All are called on the network thread,
// except the callbacks of a disconnect, which run on the thread that asks for it. Each connection
// attempt ends in exactly one report: gamePeerDidFailConnecting, or gamePeerDidConnect followed
// later by gamePeerDidDisconnect.
class GamePeerDelegate {
public:
    virtual ~GamePeerDelegate() = default;

    // The name and the information list this computer announces in its handshake.
    virtual QString gamePeerWillSendName(GamePeer* peer) = 0;
    virtual std::optional<QVariant> gamePeerWillSendInfoPlist(GamePeer*) { return std::nullopt; }

    virtual void gamePeerDidConnect(GamePeer*) {}
    virtual void gamePeerDidFailConnecting(GamePeer*) {}
    virtual void gamePeerDidDisconnect(GamePeer*) {}
    // A payload that is not a handshake or ping; `immediate` is always false.
    virtual void gamePeerDidReceiveData(GamePeer*, const QByteArray&, bool /*immediate*/) {}
};

} // namespace vantle
