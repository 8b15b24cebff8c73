#include "net/NetServiceBrowser.h"

#include "net/DnsSdLibrary.h"
#include "net/DnsSdName.h"
#include "net/NSNetServicesWinDNS.h"
#include "net/NetServiceBrowserDelegate.h"
#include "net/NetUtilities.h"
#include "support/ParoxLog.h"

#include <QPointer>
#include <QThread>
#include <QTimer>
#include <array>
#include <cstring>

#if defined(Q_OS_WIN)
#include <winsock2.h>
#define poll WSAPoll
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#endif

namespace vantle {
namespace {

constexpr int kPollIntervalMs = 300;
constexpr int kMaxResultsPerTick = 64;

NetServiceBrowser* browserFrom(void* context) {
    return static_cast<NetServiceBrowser*>(context);
}

// What tells one browse event's service from another: DNS-SD reports a service per interface.
QByteArray browseKey(std::uint32_t interfaceIndex, const char* name, const char* type,
                     const char* domain) {
    constexpr char kSeparator = '\0';
    QByteArray key = QByteArray::number(interfaceIndex);
    for (const char* part : {name, type, domain}) {
        key.append(kSeparator);
        key.append(part);
    }
    return key;
}

} // namespace

NetServiceBrowser::NetServiceBrowser(const std::optional<QString>& domain, const QString& type)
    : _domain(domain), _type(type) {
    ParoxLog("NetServiceBrowser initWithDomain");
}

NetServiceBrowser::~NetServiceBrowser() {
    stop();
}

std::unique_ptr<NetServiceBrowser>
NetServiceBrowser::createTCPBrowser(const std::optional<QString>& domain,
                                    const QString& applicationProtocol) {
    const auto type = _MakeServiceType(applicationProtocol, QLatin1String(kTCPTransport));
    if (!type) return nullptr;
    return std::make_unique<NetServiceBrowser>(domain, *type);
}

void NetServiceBrowser::setDelegate(NetServiceBrowserDelegate* delegate) {
    _delegate = delegate;
    _delegateMethods = delegate ? delegate->implementedCallbacks() : 0;
}

QString NetServiceBrowser::description() const {
    return stringWithFormat("<%@ = 0x%08X | running = %i>", QStringLiteral("NetServiceBrowser"),
                            static_cast<unsigned>(reinterpret_cast<quintptr>(this)), isRunning());
}

bool NetServiceBrowser::startUsingRunLoop(QThread* runLoop) {
    ParoxLog("NetServiceBrowser startUsingRunLoop");
    if (_runLoop) return false;
    _runLoop = runLoop;
    if (!_runLoop) return false;

    client = mClient2 = mClient3 = nullptr;
    mFullName.clear();

    const QByteArray type = _type.toUtf8();
    const QByteArray domain = _domain ? _domain->toUtf8() : QByteArray();
    ParoxLog("NetServiceBrowser calling DNSServiceBrowse %s %s", type.constData(),
             _domain ? domain.constData() : "nil");
    dnssd::DNSServiceErrorType err = dnssd::kDNSServiceErr_ServiceNotRunning;
    if (mDNSServiceBrowseFn)
        err = mDNSServiceBrowseFn(&client, 0, 0, type.constData(),
                                  _domain ? domain.constData() : nullptr, &browse_reply, this);
    else
        ParoxErrorLog("NetServiceBrowser: the DNS-SD library is not loaded");
    ParoxLog("after calling DNSServiceBrowse %d", err);
    mBrowseError = err;

    delete mEventTimer;
    mEventTimer = nullptr;
    if (err != dnssd::kDNSServiceErr_NoError) {
        client = nullptr;
        return false;
    }

    mEventTimer = new QTimer(this);
    mEventTimer->setInterval(kPollIntervalMs);
    connect(mEventTimer, &QTimer::timeout, this, [this] { handleEvents(); });
    mEventTimer->start();
    _running = true;
    if (_delegate && (_delegateMethods & NetServiceBrowserDelegate::kBrowserDidStart))
        _delegate->browserDidStart(this);
    ParoxLog("at end of startUsingRunLoop");
    return true;
}

bool NetServiceBrowser::processOneResult() {
    const std::array<dnssd::DNSServiceRef, 3> refs{client, mClient2, mClient3};
    std::array<pollfd, 3> fds{};
    std::array<dnssd::DNSServiceRef, 3> polled{};
    nfds_t count = 0;
    for (dnssd::DNSServiceRef ref : refs) {
        if (!ref) continue;
        const int fd = mDNSServiceRefSockFDFn(ref);
        if (fd < 0) continue;
        fds[count] = pollfd{fd, POLLIN, 0};
        polled[count] = ref;
        ++count;
    }
    if (count == 0 || poll(fds.data(), count, 0) <= 0) return false;
    for (nfds_t i = 0; i < count; ++i) {
        if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) {
            mDNSServiceProcessResultFn(polled[i]);
            return true;
        }
    }
    return false;
}

void NetServiceBrowser::handleEvents() {
    if (!mDNSServiceRefSockFDFn || !mDNSServiceProcessResultFn) return;
    // Avahi's library needs one call per internal wake-up, several for each answer; taking a
    // single result per tick made a phone take seconds to appear. Everything waiting is taken,
    // still browse before resolve before query, up to a bound that keeps the thread responsive.
    const QPointer<NetServiceBrowser> alive(this);
    for (int i = 0; i < kMaxResultsPerTick; ++i) {
        if (!processOneResult() || !alive) return;
    }
}

void NetServiceBrowser::replaceReference(dnssd::DNSServiceRef* slot, dnssd::DNSServiceRef next) {
    // The old operation is no longer followed; ending it now frees what the library holds for it.
    if (*slot && *slot != next && mDNSServiceRefDeallocateFn) mDNSServiceRefDeallocateFn(*slot);
    *slot = next;
}

void NetServiceBrowser::browse_reply(dnssd::DNSServiceRef, dnssd::DNSServiceFlags flags,
                                     std::uint32_t interfaceIndex,
                                     dnssd::DNSServiceErrorType errorCode, const char* serviceName,
                                     const char* regtype, const char* replyDomain, void* context) {
    NetServiceBrowser* self = browserFrom(context);
    // A failed browse event (a daemon that went away) carries no names to resolve.
    if (errorCode != dnssd::kDNSServiceErr_NoError || !serviceName || !regtype || !replyDomain) {
        ParoxLog("browse_reply error %d", errorCode);
        return;
    }
    const bool adding = (flags & dnssd::kDNSServiceFlagsAdd) != 0;
    ParoxLog("browse_reply %s", adding ? "adding" : "removing");
    const QByteArray key = browseKey(interfaceIndex, serviceName, regtype, replyDomain);
    // A service that has gone can seldom be resolved again (Avahi never can), so its removal is
    // reported with the address its appearance was reported with. Unknown ones are resolved.
    if (!adding) {
        if (const auto known = self->mReported.find(key); known != self->mReported.end()) {
            const NSNetServicesWinDNS service = known->second;
            self->mReported.erase(known);
            self->report(false, service);
            return;
        }
    }
    self->mAdding = adding;
    self->mResolvingKey = key;

    dnssd::DNSServiceRef resolver = nullptr;
    const dnssd::DNSServiceErrorType err = mDNSServiceResolveFn(
        &resolver, 0, interfaceIndex, serviceName, regtype, replyDomain, &resolve_reply, self);
    if (err != dnssd::kDNSServiceErr_NoError) {
        ParoxLog("DNSServiceResolve: %d", err);
        return;
    }
    replaceReference(&self->mClient2, resolver);
}

void NetServiceBrowser::resolve_reply(dnssd::DNSServiceRef, dnssd::DNSServiceFlags, std::uint32_t,
                                      dnssd::DNSServiceErrorType errorCode, const char* fullname,
                                      const char* hosttarget, std::uint16_t port, std::uint16_t,
                                      const unsigned char*, void* context) {
    NetServiceBrowser* self = browserFrom(context);
    ParoxLog("resolve_reply");
    // A resolve that failed (a service that has gone for good) comes without names.
    if (errorCode != dnssd::kDNSServiceErr_NoError || !fullname || !hosttarget) {
        ParoxLog("resolve_reply error %d", errorCode);
        return;
    }
    const std::uint16_t hostPort = ntohs(port);
    ParoxLog("Bonjour: \"%s\" can %s be reached at %s:%u", fullname,
             self->mAdding ? "" : "no longer", hosttarget, static_cast<unsigned>(hostPort));
    self->mPort = hostPort;
    self->mFullName = QString::fromUtf8(fullname);

    const in_addr_t dotted = inet_addr(hosttarget);
    if (dotted != INADDR_NONE) {
        self->didResolveTo(dotted);
        return;
    }
    dnssd::DNSServiceRef query = nullptr;
    const dnssd::DNSServiceErrorType err =
        mDNSServiceQueryRecordFn(&query, 0, 0, hosttarget, dnssd::kDNSServiceType_A,
                                 dnssd::kDNSServiceClass_IN, &lookup_callback, self);
    if (err != dnssd::kDNSServiceErr_NoError) {
        ParoxLog("DNSServiceQueryRecord: %d", err);
        return;
    }
    replaceReference(&self->mClient3, query);
}

void NetServiceBrowser::lookup_callback(dnssd::DNSServiceRef, dnssd::DNSServiceFlags flags,
                                        std::uint32_t, dnssd::DNSServiceErrorType errorCode,
                                        const char*, std::uint16_t rrtype, std::uint16_t,
                                        std::uint16_t rdlen, const void* rdata, std::uint32_t,
                                        void* context) {
    NetServiceBrowser* self = browserFrom(context);
    ParoxLog("lookup_callback: %x", flags);
    if (flags & dnssd::kDNSServiceFlagsMoreComing) return;
    if (rrtype != dnssd::kDNSServiceType_A) return;
    if (errorCode != dnssd::kDNSServiceErr_NoError || !rdata || rdlen < dnssd::kARecordLength) {
        ParoxLog("lookup_callback: unusable answer, error %d, %d bytes", errorCode,
                 static_cast<int>(rdlen));
        return;
    }
    const QByteArray record(static_cast<const char*>(rdata), rdlen);
    std::uint32_t address = 0;
    std::memcpy(&address, rdata, sizeof address);
    ParoxLog("resolved data: %@", record);
    self->didResolveTo(address);
}

void NetServiceBrowser::didResolveTo(std::uint32_t ipv4NetworkOrder) {
    const bool adding = mAdding;
    const SocketAddress address =
        makeSocketAddress(ntohl(ipv4NetworkOrder), static_cast<std::uint16_t>(mPort));
    ParoxLog("addressData: %@",
             QByteArray(reinterpret_cast<const char*>(address.data()), address.size()));
    const QString name = serviceInstanceName(mFullName.toUtf8()).value_or(mFullName);
    const NSNetServicesWinDNS service(address, name, mFullName);
    if (adding)
        mReported.insert_or_assign(mResolvingKey, service);
    else
        mReported.erase(mResolvingKey);
    report(adding, service);
}

void NetServiceBrowser::report(bool adding, const NSNetServicesWinDNS& service) {
    if (!_delegate) return;
    if (adding) {
        if (_delegateMethods & NetServiceBrowserDelegate::kBrowserDidAddService)
            _delegate->browserDidAddService(this, service);
    } else if (_delegateMethods & NetServiceBrowserDelegate::kBrowserDidRemoveService) {
        _delegate->browserDidRemoveService(this, service);
    }
}

void NetServiceBrowser::stop() {
    if (_running) {
        if (_delegate && (_delegateMethods & NetServiceBrowserDelegate::kBrowserWillStop))
            _delegate->browserWillStop(this);
        _running = false;
    }
    // stop() may run inside the timer's own tick, so the timer goes once that tick is over.
    if (mEventTimer) {
        mEventTimer->stop();
        mEventTimer->deleteLater();
        mEventTimer = nullptr;
    }
    _runLoop = nullptr;
    mReported.clear();
    for (dnssd::DNSServiceRef* ref : {&client, &mClient2, &mClient3}) {
        if (*ref && mDNSServiceRefDeallocateFn) mDNSServiceRefDeallocateFn(*ref);
        *ref = nullptr;
    }
}

} // namespace vantle
