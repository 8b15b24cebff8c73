#pragma once

#include "net/NSNetServicesWrapper.h"

namespace vantle {

// A discovered phone: its resolved address and the names DNS-SD gave it. The address alone makes
// it equal to another; the names are for the peer (instance) and for logs (full name).
class NSNetServicesWinDNS : public NSNetServicesWrapper {
public:
    // `name` is the instance name ("ID:Name"); `fullName` the escaped DNS-SD name it came from.
    NSNetServicesWinDNS(const SocketAddress& address, const QString& name,
                        const QString& fullName = {});

    QString serviceName() const override { return mServiceName; }
    QString fullName() const { return mFullName.isEmpty() ? mServiceName : mFullName; }
    QString description() const override { return fullName(); }

private:
    QString mServiceName;
    QString mFullName;
};

} // namespace vantle
