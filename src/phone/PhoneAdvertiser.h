#pragma once

#include "net/DnsSd.h"

#include <QObject>
#include <QString>
#include <cstdint>

class QSocketNotifier;

namespace vantle::phone {

// Makes the simulated phone findable the way a real one is: a DNS-SD service named
// "ID:Name" of the type for "VantleService" on the phone's port, registered through the DNS-SD
// library loaded at run time. The registration lasts as long as the object.
class PhoneAdvertiser : public QObject {
public:
    PhoneAdvertiser();
    ~PhoneAdvertiser() override;
    PhoneAdvertiser(const PhoneAdvertiser&) = delete;
    PhoneAdvertiser& operator=(const PhoneAdvertiser&) = delete;

    // Starts advertising; false, after saying why, when the library or its daemon is missing.
    bool advertise(const QString& uniqueID, const QString& name, std::uint16_t port);

private:
    static void VANTLE_DNSSD_API registerReply(dnssd::DNSServiceRef, dnssd::DNSServiceFlags,
                                               dnssd::DNSServiceErrorType, const char* name,
                                               const char* regtype, const char* domain,
                                               void* context);
    void end();

    dnssd::DNSServiceRef mRef = nullptr;
    QSocketNotifier* mNotifier = nullptr;
    dnssd::DNSServiceRefDeallocateFn mDeallocate = nullptr;
    dnssd::DNSServiceProcessResultFn mProcessResult = nullptr;
};

} // namespace vantle::phone
