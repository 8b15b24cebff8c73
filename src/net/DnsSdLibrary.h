#pragma once

#include "net/DnsSd.h"

#include <QFunctionPointer>
#include <QString>

// The DNS-SD library, loaded at run time: Avahi's compatible "dns_sd" (version 1) on Linux,
// "dnssd" on Windows, the system library on macOS. VANTLE_DNSSD_LIBRARY names another file.
namespace vantle {

// Process-wide entry points, set together by a successful loadBonjourDLL and never cleared.
extern dnssd::DNSServiceResolveFn mDNSServiceResolveFn;
extern dnssd::DNSServiceRefSockFDFn mDNSServiceRefSockFDFn;
extern dnssd::DNSServiceProcessResultFn mDNSServiceProcessResultFn;
extern dnssd::DNSServiceBrowseFn mDNSServiceBrowseFn;
extern dnssd::DNSServiceRefDeallocateFn mDNSServiceRefDeallocateFn;
extern dnssd::DNSServiceReconfirmRecordFn mDNSServiceReconfirmRecordFn;
extern dnssd::DNSServiceQueryRecordFn mDNSServiceQueryRecordFn;

// Loads the library and looks up the seven functions browsing needs; true only when all seven
// are there. Once true, later calls return true at once; after a failure the next call tries
// again.
bool loadBonjourDLL();

// Looks up one more function by name in the library (loading it when needed); null when the
// library or the function is missing.
QFunctionPointer dnsSdFunction(const char* name);

// Why the last load or look-up failed, in plain words; empty when nothing failed.
QString dnsSdLoadError();

// What the user of this platform should do when the library cannot be loaded, and when it is
// there but its daemon does not answer; shown under the titles "Unable To Load Bonjour" and
// "Unable To Search For iPhones".
QString dnsSdLibraryMissingMessage();
QString dnsSdDaemonDownMessage();

// A library error code in plain words, for the people who see it.
QString dnsSdErrorText(dnssd::DNSServiceErrorType error);

} // namespace vantle
