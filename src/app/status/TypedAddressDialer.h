#pragma once

#include "net/NSNetServicesWrapper.h"
#include "platform/BackgroundWork.h"
#include "transfer/ClientServerController.h"

#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>

namespace vantle {

// Dials the addresses the user types. A host name is looked up on a worker first, so that a
// resolver that does not answer leaves the window alone; a dial replaces one still looking up
// (whose result is then dropped). Main thread.
class TypedAddressDialer {
public:
    // What came of a dial, as addServer says it.
    using Done = std::function<void(AddServerResult)>;

    explicit TypedAddressDialer(ClientServerController& clientServer);

    // `done` runs here: at once for an address that needs no look-up, else once the name is
    // found (or not), unless another dial came first or the dialer was shut down.
    void dial(const QString& text, Done done);
    // Stands in for the system's resolver (tests).
    void setHostLookup(HostLookup lookUp) { mLookUp = std::move(lookUp); }
    // Dials nothing more and drops what is still being looked up; waits at most `limit`.
    void shutDown(std::chrono::milliseconds limit) { mLookups.shutDown(limit); }

private:
    // Look-ups that hang each keep a worker; a later dial needs one of its own.
    static constexpr int kLookupWorkers = 4;

    ClientServerController& mClientServer;
    HostLookup mLookUp = lookUpHost;
    // The latest dial: only its look-up's result counts.
    std::uint64_t mLatest = 0;
    // Last, so that it goes first: its work reads nothing of the above.
    BackgroundWork mLookups{kLookupWorkers};
};

} // namespace vantle
