#include "net/ConnectionChecks.h"

#include "net/DnsSdLibrary.h"
#include "net/WireFormat.h"

namespace vantle::diagnosis {
namespace {

DiagnosticCheck make(const QString& title, CheckVerdict verdict, const QString& finding,
                     const QString& advice = {}) {
    return DiagnosticCheck{
        .title = title, .verdict = verdict, .finding = finding, .details = {}, .advice = advice};
}

const QString kLibraryTitle = QStringLiteral("DNS-SD library");
const QString kDaemonTitle = QStringLiteral("DNS-SD daemon");
const QString kInterfacesTitle = QStringLiteral("Network interfaces");
const QString kPhonesTitle = QStringLiteral("Phones on the network");

#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
const QString kLibraryAdvice =
    QStringLiteral("install Bonjour (its DNS-SD library dnssd.dll), then start Vantle again.");
const QString kDaemonName = QStringLiteral("The Bonjour service");
const QString kDaemonAdvice =
    QStringLiteral("start the Bonjour service (Services, \"Bonjour Service\", Start).");
#else
const QString kLibraryAdvice = QStringLiteral("install the package libavahi-compat-libdnssd1: "
                                              "sudo apt install libavahi-compat-libdnssd1");
const QString kDaemonName = QStringLiteral("avahi-daemon");
const QString kDaemonAdvice =
    QStringLiteral("start it with: sudo systemctl start avahi-daemon (and sudo systemctl enable "
                   "avahi-daemon to have it start with the computer); if it is not installed: "
                   "sudo apt install avahi-daemon");
#endif

const QString kSameNetworkAdvice =
    QStringLiteral("put the phone and this computer on the same network (the same Wi-Fi, not a "
                   "guest network), or turn the VPN off.");
const QString kFirewallAdvice = QStringLiteral(
    "a firewall on this computer or on the network drops the connection, or the Wi-Fi access "
    "point keeps its clients apart (client or AP isolation, common on guest networks). Allow "
    "outgoing TCP to the phone's port, turn client isolation off, or use another network.");
const QString kOpenVantleAdvice =
    QStringLiteral("open Vantle on the phone and keep it in front, then try again.");

} // namespace

QString phoneLabel(const SeenPhone& phone) {
    return QStringLiteral("%1 (%2) at %3")
        .arg(phone.name, phone.uniqueID,
             socketAddressText(phone.address).value_or(QStringLiteral("?")));
}

DiagnosticCheck libraryCheck(bool loaded, const QString& loadError) {
    if (loaded) return make(kLibraryTitle, CheckVerdict::Ok, QStringLiteral("Installed."));
    return make(kLibraryTitle, CheckVerdict::Failed,
                QStringLiteral("It is missing or incomplete, so phones cannot be found on the "
                               "network (%1).")
                    .arg(loadError),
                kLibraryAdvice);
}

DiagnosticCheck daemonCheck(std::optional<dnssd::DNSServiceErrorType> browseError) {
    if (!browseError)
        return make(kDaemonTitle, CheckVerdict::Skipped,
                    QStringLiteral("Not checked: it is reached through the DNS-SD library."));
    switch (*browseError) {
    case dnssd::kDNSServiceErr_NoError:
        return make(kDaemonTitle, CheckVerdict::Ok, kDaemonName + QStringLiteral(" is running."));
    // Avahi's library answers "unknown" when it cannot reach its daemon over D-Bus.
    case dnssd::kDNSServiceErr_ServiceNotRunning:
    case dnssd::kDNSServiceErr_Unknown:
        return make(kDaemonTitle, CheckVerdict::Failed,
                    kDaemonName + QStringLiteral(" is not running, so phones cannot be found."),
                    kDaemonAdvice);
    default:
        break;
    }
    return make(kDaemonTitle, CheckVerdict::Failed,
                QStringLiteral("Looking for phones failed: %1.").arg(dnsSdErrorText(*browseError)),
                kDaemonAdvice);
}

DiagnosticCheck interfacesCheck(const std::vector<LocalAddress>& addresses) {
    QStringList lines;
    for (const LocalAddress& address : addresses)
        if (!address.loopback)
            lines << QStringLiteral("%1: %2").arg(address.interfaceName, subnetText(address));
    if (lines.isEmpty())
        return make(kInterfacesTitle, CheckVerdict::Failed,
                    QStringLiteral("This computer has no network connection with an IPv4 address."),
                    QStringLiteral("connect it to the Wi-Fi or network the phone is on."));
    DiagnosticCheck check =
        make(kInterfacesTitle, CheckVerdict::Ok, QStringLiteral("This computer's IPv4 addresses:"));
    check.details = lines;
    return check;
}

DiagnosticCheck phonesCheck(const std::optional<std::vector<SeenPhone>>& seen, int windowMs,
                            const std::vector<LocalAddress>& addresses, bool addressGiven) {
    if (!seen)
        return make(kPhonesTitle, CheckVerdict::Skipped,
                    QStringLiteral("Not checked: looking for phones needs the DNS-SD library and "
                                   "daemon."));
    if (seen->empty())
        return make(kPhonesTitle, addressGiven ? CheckVerdict::Warning : CheckVerdict::Failed,
                    QStringLiteral("No phone was seen advertising Vantle within %1 s.")
                        .arg(secondsText(windowMs)),
                    QStringLiteral("open Vantle on the phone and keep it in front; check that "
                                   "the phone is on the same Wi-Fi as this computer (not a guest "
                                   "network). Connecting by the phone's address may still work."));
    DiagnosticCheck check =
        make(kPhonesTitle, CheckVerdict::Ok,
             QStringLiteral("%1 phone(s) seen advertising Vantle:").arg(seen->size()));
    bool allLocal = true;
    for (const SeenPhone& phone : *seen) {
        const auto subnet = localSubnetOf(socketAddressIPv4(phone.address), addresses);
        allLocal = allLocal && subnet.has_value();
        check.details << phoneLabel(phone) +
                             (subnet ? QStringLiteral(", on the local subnet of %1 (%2)")
                                           .arg(subnet->interfaceName, subnetText(*subnet))
                                     : QStringLiteral(", NOT on any local subnet"));
    }
    if (!allLocal) {
        check.verdict = CheckVerdict::Warning;
        check.advice = QStringLiteral("a phone outside this computer's subnets is reached "
                                      "through a router, which often blocks it: ") +
                       kSameNetworkAdvice;
    }
    return check;
}

DiagnosticCheck connectionCheck(const QString& target, const ProbeResult& result,
                                const ProbeLimits& limits) {
    using Outcome = ProbeResult::Outcome;
    const QString title = QStringLiteral("Connection to ") + target;
    const QString limit = secondsText(limits.handshakeTimeoutMs);
    switch (result.outcome) {
    case Outcome::Answered: {
        QString finding = QStringLiteral("Answered as \"%1\" (%2); handshake %3 ms")
                              .arg(result.name.value_or(QString()),
                                   result.uniqueID.value_or(QStringLiteral("no ID")),
                                   QString::number(result.handshakeMs, 'f', 1));
        if (const auto trip = result.medianRoundTripMs())
            finding += QStringLiteral(", round trip %1 ms").arg(*trip, 0, 'f', 1);
        return make(title, CheckVerdict::Ok, finding + QLatin1Char('.'));
    }
    case Outcome::Refused:
        return make(title, CheckVerdict::Failed,
                    QStringLiteral("Refused: the computer is there, but nothing answers on that "
                                   "port."),
                    QStringLiteral("open Vantle on the phone and keep it in front; when you typed "
                                   "the address, check its port (%1 unless the phone says "
                                   "otherwise).")
                        .arg(wire::kDefaultPhonePort));
    case Outcome::Unreachable:
        return make(title, CheckVerdict::Failed,
                    QStringLiteral("Unreachable: %1.").arg(result.failureDetail.toLower()),
                    kSameNetworkAdvice);
    case Outcome::OpenTimedOut:
        return make(title, CheckVerdict::Failed,
                    QStringLiteral("Timed out: no answer at all within %1 s.").arg(limit),
                    kFirewallAdvice);
    case Outcome::CouldNotOpen:
        return make(title, CheckVerdict::Failed,
                    QStringLiteral("Cannot connect: %1.").arg(result.failureDetail.toLower()),
                    kSameNetworkAdvice);
    case Outcome::NoHandshake:
        return make(
            title, CheckVerdict::Failed,
            QStringLiteral("The connection opened, but Vantle did not answer within %1 s.")
                .arg(limit),
            QStringLiteral("Vantle on the phone may be paused in the background or busy: ") +
                kOpenVantleAdvice);
    case Outcome::NotAPhone:
    case Outcome::ClosedEarly:
        return make(title, CheckVerdict::Failed,
                    QStringLiteral("Something other than Vantle answers there (%1).")
                        .arg(describeProbeFailure(result, limits)),
                    QStringLiteral("check the address and port of the phone."));
    case Outcome::PingUnanswered:
    case Outcome::PingBroken:
        return make(title, CheckVerdict::Warning,
                    QStringLiteral("Answered as \"%1\", but then %2.")
                        .arg(result.name.value_or(QString()), describeProbeFailure(result, limits)),
                    QStringLiteral("the network loses or holds back traffic: move closer to the "
                                   "access point or try another network."));
    case Outcome::NoSocket:
        break;
    }
    return make(title, CheckVerdict::Failed,
                QStringLiteral("No connection could be made from this computer (%1).")
                    .arg(describeProbeFailure(result, limits)));
}

DiagnosticCheck unknownAddressCheck(const QString& target, const QString& problem) {
    return make(QStringLiteral("Connection to ") + target, CheckVerdict::Failed,
                problem + QLatin1Char('.'),
                QStringLiteral("type the address the phone shows, such as 192.168.1.40 or "
                               "192.168.1.40:34345."));
}

DiagnosticCheck notDialledCheck(std::size_t count) {
    return make(QStringLiteral("Connection to the other phones"), CheckVerdict::Skipped,
                QStringLiteral("%1 more phone(s) not tried.").arg(count),
                QStringLiteral("give the address of the one you mean to try it alone."));
}

DiagnosticCheck nothingToConnectCheck() {
    return make(QStringLiteral("Connection"), CheckVerdict::Skipped,
                QStringLiteral("No phone to connect to."),
                QStringLiteral("once the phone shows up, or with its address, run this again."));
}

} // namespace vantle::diagnosis
