#pragma once

#include <cstdint>

// The few declarations of the DNS-SD C interface that discovery and advertising use. The library
// is loaded at run time (DnsSdLibrary.h), so its own header is never included: these match its
// published interface, which Avahi's compatible library and the Windows and macOS ones share.
#if defined(_WIN32)
#define VANTLE_DNSSD_API __stdcall
#else
#define VANTLE_DNSSD_API
#endif

namespace vantle::dnssd {

struct _DNSServiceRef_t;
using DNSServiceRef = _DNSServiceRef_t*;
using DNSServiceFlags = std::uint32_t;
using DNSServiceErrorType = std::int32_t;

inline constexpr DNSServiceFlags kDNSServiceFlagsMoreComing = 0x1;
inline constexpr DNSServiceFlags kDNSServiceFlagsAdd = 0x2;
inline constexpr std::uint16_t kDNSServiceType_A = 1;
inline constexpr std::uint16_t kDNSServiceClass_IN = 1;
inline constexpr DNSServiceErrorType kDNSServiceErr_NoError = 0;
inline constexpr DNSServiceErrorType kDNSServiceErr_Unknown = -65537;
inline constexpr DNSServiceErrorType kDNSServiceErr_BadParam = -65540;
inline constexpr DNSServiceErrorType kDNSServiceErr_NameConflict = -65548;
inline constexpr DNSServiceErrorType kDNSServiceErr_ServiceNotRunning = -65563;
// The bytes of an A record's data: one IPv4 address in network order.
inline constexpr std::uint16_t kARecordLength = 4;

using DNSServiceBrowseReply = void(VANTLE_DNSSD_API*)(DNSServiceRef, DNSServiceFlags,
                                                      std::uint32_t interfaceIndex,
                                                      DNSServiceErrorType, const char* serviceName,
                                                      const char* regtype, const char* replyDomain,
                                                      void* context);
using DNSServiceResolveReply = void(VANTLE_DNSSD_API*)(
    DNSServiceRef, DNSServiceFlags, std::uint32_t interfaceIndex, DNSServiceErrorType,
    const char* fullname, const char* hosttarget, std::uint16_t portNetworkOrder,
    std::uint16_t txtLen, const unsigned char* txtRecord, void* context);
using DNSServiceQueryRecordReply = void(VANTLE_DNSSD_API*)(
    DNSServiceRef, DNSServiceFlags, std::uint32_t interfaceIndex, DNSServiceErrorType,
    const char* fullname, std::uint16_t rrtype, std::uint16_t rrclass, std::uint16_t rdlen,
    const void* rdata, std::uint32_t ttl, void* context);
using DNSServiceRegisterReply = void(VANTLE_DNSSD_API*)(DNSServiceRef, DNSServiceFlags,
                                                        DNSServiceErrorType, const char* name,
                                                        const char* regtype, const char* domain,
                                                        void* context);

using DNSServiceResolveFn = DNSServiceErrorType(VANTLE_DNSSD_API*)(
    DNSServiceRef*, DNSServiceFlags, std::uint32_t interfaceIndex, const char* name,
    const char* regtype, const char* domain, DNSServiceResolveReply, void* context);
using DNSServiceRefSockFDFn = int(VANTLE_DNSSD_API*)(DNSServiceRef);
using DNSServiceProcessResultFn = DNSServiceErrorType(VANTLE_DNSSD_API*)(DNSServiceRef);
using DNSServiceBrowseFn = DNSServiceErrorType(VANTLE_DNSSD_API*)(
    DNSServiceRef*, DNSServiceFlags, std::uint32_t interfaceIndex, const char* regtype,
    const char* domain, DNSServiceBrowseReply, void* context);
using DNSServiceRefDeallocateFn = void(VANTLE_DNSSD_API*)(DNSServiceRef);
using DNSServiceReconfirmRecordFn = DNSServiceErrorType(VANTLE_DNSSD_API*)(
    DNSServiceFlags, std::uint32_t interfaceIndex, const char* fullname, std::uint16_t rrtype,
    std::uint16_t rrclass, std::uint16_t rdlen, const void* rdata);
using DNSServiceQueryRecordFn = DNSServiceErrorType(VANTLE_DNSSD_API*)(
    DNSServiceRef*, DNSServiceFlags, std::uint32_t interfaceIndex, const char* fullname,
    std::uint16_t rrtype, std::uint16_t rrclass, DNSServiceQueryRecordReply, void* context);
using DNSServiceRegisterFn = DNSServiceErrorType(VANTLE_DNSSD_API*)(
    DNSServiceRef*, DNSServiceFlags, std::uint32_t interfaceIndex, const char* name,
    const char* regtype, const char* domain, const char* host, std::uint16_t portNetworkOrder,
    std::uint16_t txtLen, const void* txtRecord, DNSServiceRegisterReply, void* context);

} // namespace vantle::dnssd
