#include "net/NSNetServicesWinDNS.h"

namespace vantle {

NSNetServicesWinDNS::NSNetServicesWinDNS(const SocketAddress& address, const QString& name,
                                         const QString& fullName)
    : NSNetServicesWrapper(address), mServiceName(name), mFullName(fullName) {}

} // namespace vantle
