#pragma once

#include "transfer/ProtocolKeys.h"

#include <chrono>

namespace vantle {

// How long a PC request may wait for the one in flight before the phone is given up on.
inline constexpr int kTurnTimeoutMs = 40'000;
// Pause between losing a phone and looking for phones again.
inline constexpr int kRestartAutoConnectDelayMs = 3'000;

// The limits of the request layer and the session; tests shorten them.
struct TransferTimeouts {
    std::chrono::milliseconds turn{kTurnTimeoutMs};
    std::chrono::milliseconds mainThreadResponse{protocol::kMainThreadResponseTimeoutMs};
    std::chrono::milliseconds workerResponse{protocol::kWorkerResponseTimeoutMs};
    std::chrono::milliseconds restartAutoConnect{kRestartAutoConnectDelayMs};
};

} // namespace vantle
