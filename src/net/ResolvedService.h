#pragma once

#include "net/SocketAddress.h"

#include <QString>
#include <vector>

namespace vantle {

// A discovered service that can tell its name and the addresses it resolves to. Discovery
// implements it; GamePeer::createWithService makes a peer from one.
class ResolvedService {
public:
    virtual ~ResolvedService() = default;

    // The instance name the phone advertises: its unique ID, a colon and its display name.
    virtual QString serviceName() const = 0;
    // Resolves the service, waiting at most `timeoutSeconds`; false when it did not resolve.
    virtual bool resolve(double timeoutSeconds) = 0;
    // The IPv4 addresses found by the last successful resolve, first one preferred.
    virtual std::vector<SocketAddress> getAddresses() const = 0;
};

} // namespace vantle
