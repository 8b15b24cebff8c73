#pragma once

#include <memory>

namespace vantle {

class GamePeer;

// The connection something came on or belongs to, without keeping its peer alive. An empty tag
// stands for no connection at all (a request made while none was up).
class ConnectionTag {
public:
    ConnectionTag() = default;
    explicit ConnectionTag(const std::shared_ptr<GamePeer>& peer) : mPeer(peer) {}

    // By identity, not address: a peer gone and one made since at the same address differ.
    bool isOf(const std::shared_ptr<GamePeer>& peer) const {
        return !mPeer.owner_before(peer) && !peer.owner_before(mPeer);
    }

private:
    std::weak_ptr<GamePeer> mPeer;
};

} // namespace vantle
