#pragma once

#include "net/ConnectionReport.h"
#include "net/PhoneProbe.h"

#include <QString>
#include <cstddef>
#include <functional>
#include <optional>

namespace vantle {

// What a diagnosis tries and how long each step may take.
struct DiagnosisSettings {
    static constexpr int kDiscoveryWindowMs = 3000;
    static constexpr int kConnectTimeoutMs = 3000;
    static constexpr int kPingTimeoutMs = 3000;
    // More phones than this on one network are not all dialled: the report stays quick.
    static constexpr std::size_t kMostPhonesDialled = 8;

    // Typed "HOST" or "HOST:PORT": dialled instead of the phones seen.
    std::optional<QString> address;
    int discoveryWindowMs = kDiscoveryWindowMs;
    ProbeLimits limits{
        .handshakeTimeoutMs = kConnectTimeoutMs, .pingTimeoutMs = kPingTimeoutMs, .pings = 1};
};

// Runs the checks in order: the DNS-SD library, its daemon, the network interfaces, the phones
// seen advertising during the discovery window (each on a local subnet or not), then a
// connection and handshake to each of them or to the given address. Blocks the calling thread,
// which needs an event loop of its own to run (the main thread or a QThread, never the network
// thread), for about the discovery window plus the connection limits. `onCheck` hears each step
// as soon as it is done. A request to interrupt the calling QThread ends it early, with the
// steps done so far.
ConnectionReport
runConnectionDiagnosis(const DiagnosisSettings& settings = {},
                       const std::function<void(const DiagnosticCheck&)>& onCheck = {});

} // namespace vantle
