#pragma once

#include "net/GamePeer.h"
#include "net/SocketAddress.h"

#include <QString>
#include <optional>
#include <vector>

namespace vantle {

// How long one visit to a phone may take at each step, and how many pings it makes.
struct ProbeLimits {
    int handshakeTimeoutMs = GamePeer::kDefaultHandshakeTimeoutMs; // the dial and the handshake
    int pingTimeoutMs = GamePeer::kDefaultPingTimeoutMs;           // each ping's echo
    int pings = 1;
};

// What one visit found.
struct ProbeResult {
    enum class Outcome {
        Answered,       // the handshake completed and every ping came back
        Refused,        // nothing listens there
        Unreachable,    // no route to the address
        OpenTimedOut,   // the dial got no answer at all: dropped on the way
        CouldNotOpen,   // the dial failed for another reason (failureDetail says which)
        NoHandshake,    // it opened, then sent nothing within the limit
        NotAPhone,      // it opened and answered with something else than a handshake
        ClosedEarly,    // it opened, then ended before the phone's identity came
        PingUnanswered, // the handshake completed, a ping's echo did not come within its limit
        PingBroken,     // the handshake completed, the connection ended during a ping
        NoSocket,       // no socket could be made here
    };

    Outcome outcome = Outcome::NoSocket;
    std::optional<QString> name;      // the phone's, from its handshake
    std::optional<QString> uniqueID;  // the same
    double handshakeMs = 0.0;         // from the dial to the phone's identity
    std::vector<double> roundTripsMs; // the pings that came back, in order of size
    int failedPing = 0;               // which ping failed, counting from 1
    QString failureDetail;            // the connection's own words, such as "Connection refused"

    bool answered() const { return outcome == Outcome::Answered; }
    // The median of the pings that came back; none without any.
    std::optional<double> medianRoundTripMs() const;
};

// Dials `address`, makes the handshake as the desktop program does and pings; blocks the calling
// thread (never the network thread) until it is done, within the limits. Starts the network
// thread when it is not running.
ProbeResult probePhone(const SocketAddress& address, const ProbeLimits& limits = {});

// A limit in seconds as people read it: "10", "3", "0.4".
QString secondsText(int ms);

// What went wrong, in a few words for a terminal ("cannot connect: connection refused"); empty
// when the phone answered.
QString describeProbeFailure(const ProbeResult& result, const ProbeLimits& limits);

} // namespace vantle
