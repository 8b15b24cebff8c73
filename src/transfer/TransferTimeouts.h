#pragma once

#include "transfer/ProtocolKeys.h"

#include <chrono>

namespace vantle {

// How long a PC request may wait for the one in flight before the phone is given up on.
inline constexpr int kTurnTimeoutMs = 40'000;
// Pause between losing a phone and looking for phones again.
inline constexpr int kRestartAutoConnectDelayMs = 3'000;

// How long a download may hear nothing from the phone before it is given up: as long as the
// phone may take to answer a worker's request, no longer.
inline constexpr int kDownloadSilenceTimeoutMs = protocol::kWorkerResponseTimeoutMs;
// Shortens that limit for a program started by a test (milliseconds; longer values are ignored).
inline constexpr char kDownloadSilenceVariable[] = "VANTLE_DOWNLOAD_SILENCE_MS";

// How long a request waits for its answer.
enum class ResponseLimit {
    OfThread, // the short limit on the main thread, the worker's long one elsewhere
    Short,    // the short limit wherever it runs: a quick question, whose answer is quick or lost
};

// The limits of the request layer and the session; tests shorten them.
struct TransferTimeouts {
    std::chrono::milliseconds turn{kTurnTimeoutMs};
    // The short limit (ResponseLimit).
    std::chrono::milliseconds mainThreadResponse{protocol::kMainThreadResponseTimeoutMs};
    std::chrono::milliseconds workerResponse{protocol::kWorkerResponseTimeoutMs};
    std::chrono::milliseconds restartAutoConnect{kRestartAutoConnectDelayMs};
    std::chrono::milliseconds downloadSilence{kDownloadSilenceTimeoutMs};
};

} // namespace vantle
