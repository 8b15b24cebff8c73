#include "net/DnsSdLibrary.h"

#include "support/ParoxLog.h"

#include <QCoreApplication>
#include <QLibrary>
#include <memory>
#include <mutex>

namespace vantle {

dnssd::DNSServiceResolveFn mDNSServiceResolveFn = nullptr;
dnssd::DNSServiceRefSockFDFn mDNSServiceRefSockFDFn = nullptr;
dnssd::DNSServiceProcessResultFn mDNSServiceProcessResultFn = nullptr;
dnssd::DNSServiceBrowseFn mDNSServiceBrowseFn = nullptr;
dnssd::DNSServiceRefDeallocateFn mDNSServiceRefDeallocateFn = nullptr;
dnssd::DNSServiceReconfirmRecordFn mDNSServiceReconfirmRecordFn = nullptr;
dnssd::DNSServiceQueryRecordFn mDNSServiceQueryRecordFn = nullptr;

namespace {

constexpr char kLibraryOverride[] = "VANTLE_DNSSD_LIBRARY";
constexpr int kAvahiCompatVersion = 1;

std::mutex gLoadLock;
// The library that loaded with every function; kept for the life of the process.
std::unique_ptr<QLibrary> gLibrary;
bool gComplete = false;
QString gLoadError;

std::unique_ptr<QLibrary> makeLibrary() {
    const QString chosen = qEnvironmentVariable(kLibraryOverride);
    if (!chosen.isEmpty()) return std::make_unique<QLibrary>(chosen);
#if defined(Q_OS_WIN)
    return std::make_unique<QLibrary>(QStringLiteral("dnssd"));
#elif defined(Q_OS_MACOS)
    return std::make_unique<QLibrary>(QStringLiteral("/usr/lib/libSystem.B.dylib"));
#else
    return std::make_unique<QLibrary>(QStringLiteral("dns_sd"), kAvahiCompatVersion);
#endif
}

// Opens the library unless it is already open; the caller holds gLoadLock.
bool openLocked() {
    if (gLibrary && gLibrary->isLoaded()) return true;
    // Avahi's compatibility layer otherwise prints a warning for every program that uses it.
    qputenv("AVAHI_COMPAT_NOWARN", "1");
    auto library = makeLibrary();
    if (!library->load()) {
        gLoadError = QStringLiteral("DNS-SD library could not be loaded (%1): %2")
                         .arg(library->fileName(), library->errorString());
        ParoxErrorLog("%@", gLoadError);
        gLibrary.reset();
        return false;
    }
    gLibrary = std::move(library);
    return true;
}

template <class Fn> Fn lookUp(const char* name, QString* missing) {
    const QFunctionPointer found = gLibrary->resolve(name);
    if (!found) {
        if (!missing->isEmpty()) missing->append(QStringLiteral(", "));
        missing->append(QLatin1String(name));
    }
    return reinterpret_cast<Fn>(found);
}

} // namespace

bool loadBonjourDLL() {
    std::lock_guard lock(gLoadLock);
    if (gComplete) return true;
    if (!openLocked()) return false;
    QString missing;
    const auto resolveFn = lookUp<dnssd::DNSServiceResolveFn>("DNSServiceResolve", &missing);
    const auto sockFn = lookUp<dnssd::DNSServiceRefSockFDFn>("DNSServiceRefSockFD", &missing);
    const auto processFn =
        lookUp<dnssd::DNSServiceProcessResultFn>("DNSServiceProcessResult", &missing);
    const auto browseFn = lookUp<dnssd::DNSServiceBrowseFn>("DNSServiceBrowse", &missing);
    const auto deallocateFn =
        lookUp<dnssd::DNSServiceRefDeallocateFn>("DNSServiceRefDeallocate", &missing);
    const auto reconfirmFn =
        lookUp<dnssd::DNSServiceReconfirmRecordFn>("DNSServiceReconfirmRecord", &missing);
    const auto queryFn = lookUp<dnssd::DNSServiceQueryRecordFn>("DNSServiceQueryRecord", &missing);
    if (!missing.isEmpty()) {
        gLoadError =
            QStringLiteral("DNS-SD library %1 lacks %2").arg(gLibrary->fileName(), missing);
        ParoxErrorLog("%@", gLoadError);
        // A different library may be named before the next attempt.
        gLibrary->unload();
        gLibrary.reset();
        return false;
    }
    mDNSServiceResolveFn = resolveFn;
    mDNSServiceRefSockFDFn = sockFn;
    mDNSServiceProcessResultFn = processFn;
    mDNSServiceBrowseFn = browseFn;
    mDNSServiceRefDeallocateFn = deallocateFn;
    mDNSServiceReconfirmRecordFn = reconfirmFn;
    mDNSServiceQueryRecordFn = queryFn;
    gComplete = true;
    gLoadError.clear();
    return true;
}

QFunctionPointer dnsSdFunction(const char* name) {
    std::lock_guard lock(gLoadLock);
    if (!openLocked()) return nullptr;
    const QFunctionPointer found = gLibrary->resolve(name);
    if (!found) {
        gLoadError = QStringLiteral("DNS-SD library %1 lacks %2")
                         .arg(gLibrary->fileName(), QLatin1String(name));
        ParoxErrorLog("%@", gLoadError);
    }
    return found;
}

QString dnsSdErrorText(dnssd::DNSServiceErrorType error) {
    switch (error) {
    case dnssd::kDNSServiceErr_NoError:
        return QStringLiteral("no error");
    // Avahi's library answers "unknown" when it cannot reach its daemon over D-Bus.
    case dnssd::kDNSServiceErr_Unknown:
    case dnssd::kDNSServiceErr_ServiceNotRunning:
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
        return QStringLiteral("DNS-SD daemon not reachable: is the Bonjour service running?");
#else
        return QStringLiteral("DNS-SD daemon not reachable: is avahi-daemon running?");
#endif
    case dnssd::kDNSServiceErr_NameConflict:
        return QStringLiteral("the name is already in use on the network");
    case dnssd::kDNSServiceErr_BadParam:
        return QStringLiteral("the name or service type is not valid for DNS-SD");
    default:
        return QStringLiteral("DNS-SD error %1").arg(error);
    }
}

QString dnsSdLoadError() {
    std::lock_guard lock(gLoadLock);
    return gLoadError;
}

QString dnsSdLibraryMissingMessage() {
#if defined(Q_OS_WIN)
    return QStringLiteral("Vantle cannot load the Apple Bonjour framework.\nPlease ensure that the "
                          "latest version of iTunes has been installed.");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("Vantle cannot load the system's DNS-SD library.");
#else
    return QCoreApplication::translate(
        "vantle::DnsSdLibrary",
        "Vantle cannot load the DNS-SD library (libdns_sd.so.1).\nPlease install "
        "the package libavahi-compat-libdnssd1, for example with\n"
        "sudo apt install libavahi-compat-libdnssd1");
#endif
}

QString dnsSdDaemonDownMessage() {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return QStringLiteral("Bonjour could not be started.  Please consult the troubleshooting guide "
                          "or contact customer support for help.");
#else
    return QCoreApplication::translate(
        "vantle::DnsSdLibrary", "The DNS-SD daemon (avahi-daemon) is not running, so Vantle cannot "
                                "search for iPhones.  Start it with \"sudo systemctl start "
                                "avahi-daemon\", or use \"Manual Connect...\" with the iPhone's "
                                "address.");
#endif
}

} // namespace vantle
