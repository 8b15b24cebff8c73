#pragma once

#include "net/ConnectionReport.h"
#include "net/DnsSd.h"
#include "net/LocalSubnets.h"
#include "net/PhoneProbe.h"
#include "net/SocketAddress.h"

#include <optional>
#include <vector>

// Each step of the connection diagnosis turned from what was observed into a verdict, a finding
// and advice. No step looks at the computer itself here, so every wording can be tested.
namespace vantle::diagnosis {

// A phone seen advertising the service.
struct SeenPhone {
    QString uniqueID;
    QString name;
    SocketAddress address{};
};

// Whether the library loaded; `loadError` says why not.
DiagnosticCheck libraryCheck(bool loaded, const QString& loadError);
// What starting to browse answered; none when it could not be tried (no library).
DiagnosticCheck daemonCheck(std::optional<dnssd::DNSServiceErrorType> browseError);
// The addresses of the interfaces that are up; loopback ones are not listed.
DiagnosticCheck interfacesCheck(const std::vector<LocalAddress>& addresses);
// The phones seen in `windowMs`; none when browsing could not run. Without any phone the step
// fails, unless the user gave an address to try instead.
DiagnosticCheck phonesCheck(const std::optional<std::vector<SeenPhone>>& seen, int windowMs,
                            const std::vector<LocalAddress>& addresses, bool addressGiven);
// A visit to `target` ("Pocket (ID) at 192.168.1.40:34345" or what the user typed).
DiagnosticCheck connectionCheck(const QString& target, const ProbeResult& result,
                                const ProbeLimits& limits);
// An address the user gave that names no computer.
DiagnosticCheck unknownAddressCheck(const QString& target, const QString& problem);
// Phones seen but left out, so that the report stays quick.
DiagnosticCheck notDialledCheck(std::size_t count);
// Nothing to connect to: no phone seen and no address given.
DiagnosticCheck nothingToConnectCheck();

// "Pocket (AA-BB) at 192.168.1.40:34345".
QString phoneLabel(const SeenPhone& phone);

} // namespace vantle::diagnosis
