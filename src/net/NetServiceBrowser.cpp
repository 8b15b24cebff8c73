#include "net/NetServiceBrowser.h"

#include "net/DnsSdLibrary.h"
#include "net/DnsSdName.h"
#include "net/NSNetServicesWinDNS.h"
#include "net/NetServiceBrowserDelegate.h"
#include "net/NetUtilities.h"
#include "net/SocketAddress.h"
#include "support/ParoxLog.h"

#include <QPointer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

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
constexpr int kFollowUpWaitMs = 3; // only after a result was processed

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
    const std::uint32_t methods = delegate ? delegate->implementedCallbacks() : 0;
    {
        std::lock_guard lock(mDelegateLock);
        _delegate = delegate;
        _delegateMethods = methods;
    }
    // A callback that took the old delegate before the change may still be running.
    mCallbacks.waitForCallbacksInFlight();
}

NetServiceBrowserDelegate* NetServiceBrowser::delegate() const {
    std::lock_guard lock(mDelegateLock);
    return _delegate;
}

template <class Call> void NetServiceBrowser::notify(std::uint32_t callback, Call&& call) {
    sendThroughGate(mCallbacks, mDelegateLock, _delegate, _delegateMethods, callback,
                    std::forward<Call>(call));
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

    client = nullptr;
    mResolutions.clear();

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
    notify(NetServiceBrowserDelegate::kBrowserDidStart,
           [this](NetServiceBrowserDelegate& d) { d.browserDidStart(this); });
    ParoxLog("at end of startUsingRunLoop");
    return true;
}

bool NetServiceBrowser::processOneResult(int waitMs) {
    std::vector<pollfd> fds;
    std::vector<dnssd::DNSServiceRef> polled;
    const auto watch = [&](dnssd::DNSServiceRef ref) {
        if (!ref) return;
        const int fd = mDNSServiceRefSockFDFn(ref);
        if (fd < 0) return;
        fds.push_back(pollfd{fd, POLLIN, 0});
        polled.push_back(ref);
    };
    watch(client);
    for (const auto& resolution : mResolutions) {
        watch(resolution->resolveRef);
        watch(resolution->queryRef);
    }
    if (fds.empty() || poll(fds.data(), static_cast<nfds_t>(fds.size()), waitMs) <= 0) return false;
    for (std::size_t i = 0; i < fds.size(); ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        const dnssd::DNSServiceErrorType err = mDNSServiceProcessResultFn(polled[i]);
        if (err != dnssd::kDNSServiceErr_NoError) {
            // A broken operation (its daemon gone) would be readable on every poll from now on.
            ParoxLog("DNSServiceProcessResult: %d", err);
            dropBrokenOperation(polled[i]);
        }
        return true;
    }
    return false;
}

void NetServiceBrowser::handleEvents() {
    if (!mDNSServiceRefSockFDFn || !mDNSServiceProcessResultFn) return;
    // Avahi's library needs one call per internal wake-up, several for each answer, and wakes
    // again moments after each call. Taking a single result per tick made a phone take about
    // 5 s to appear; so everything waiting is taken, browse first, with a short wait for the
    // follow-up after each result, up to a bound that keeps the thread responsive.
    const QPointer<NetServiceBrowser> alive(this);
    for (int i = 0; i < kMaxResultsPerTick; ++i) {
        mInCallback = true;
        const bool processed = processOneResult(i == 0 ? 0 : kFollowUpWaitMs);
        if (!alive) return;
        mInCallback = false;
        deallocateRetired();
        if (!processed) return;
    }
}

void NetServiceBrowser::dropBrokenOperation(dnssd::DNSServiceRef ref) {
    if (ref == client) {
        retire(std::exchange(client, nullptr));
        return;
    }
    for (const auto& resolution : mResolutions) {
        if (resolution->resolveRef == ref || resolution->queryRef == ref) {
            endResolution(QByteArray(resolution->key));
            return;
        }
    }
}

void NetServiceBrowser::retire(dnssd::DNSServiceRef ref) {
    if (ref) mRetired.push_back(ref);
}

void NetServiceBrowser::deallocateRetired() {
    for (dnssd::DNSServiceRef ref : std::exchange(mRetired, {}))
        if (mDNSServiceRefDeallocateFn) mDNSServiceRefDeallocateFn(ref);
    // No callback can name them once their operations are gone.
    mEndedResolutions.clear();
}

void NetServiceBrowser::endResolution(const QByteArray& key) {
    const auto found = std::find_if(mResolutions.begin(), mResolutions.end(),
                                    [&](const auto& r) { return r->key == key; });
    if (found == mResolutions.end()) return;
    retireResolution(std::move(*found));
    mResolutions.erase(found);
}

void NetServiceBrowser::retireResolution(std::unique_ptr<Resolution> resolution) {
    retire(resolution->resolveRef);
    retire(resolution->queryRef);
    resolution->ended = true;
    mEndedResolutions.push_back(std::move(resolution));
}

void NetServiceBrowser::browse_reply(dnssd::DNSServiceRef, dnssd::DNSServiceFlags flags,
                                     std::uint32_t interfaceIndex,
                                     dnssd::DNSServiceErrorType errorCode, const char* serviceName,
                                     const char* regtype, const char* replyDomain, void* context) {
    NetServiceBrowser* self = static_cast<NetServiceBrowser*>(context);
    // A failed browse event (a daemon that went away) carries no names to resolve.
    if (errorCode != dnssd::kDNSServiceErr_NoError || !serviceName || !regtype || !replyDomain) {
        ParoxLog("browse_reply error %d", errorCode);
        return;
    }
    const bool adding = (flags & dnssd::kDNSServiceFlagsAdd) != 0;
    ParoxLog("browse_reply %s", adding ? "adding" : "removing");
    const QByteArray key = browseKey(interfaceIndex, serviceName, regtype, replyDomain);
    // A newer event about the service replaces what was being done for it.
    self->endResolution(key);
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
    auto resolution = std::make_unique<Resolution>();
    resolution->browser = self;
    resolution->key = key;
    resolution->adding = adding;
    const dnssd::DNSServiceErrorType err =
        mDNSServiceResolveFn(&resolution->resolveRef, 0, interfaceIndex, serviceName, regtype,
                             replyDomain, &resolve_reply, resolution.get());
    if (err != dnssd::kDNSServiceErr_NoError) {
        ParoxLog("DNSServiceResolve: %d", err);
        return;
    }
    self->mResolutions.push_back(std::move(resolution));
}

void NetServiceBrowser::resolve_reply(dnssd::DNSServiceRef, dnssd::DNSServiceFlags, std::uint32_t,
                                      dnssd::DNSServiceErrorType errorCode, const char* fullname,
                                      const char* hosttarget, std::uint16_t port, std::uint16_t,
                                      const unsigned char*, void* context) {
    Resolution& resolution = *static_cast<Resolution*>(context);
    if (resolution.ended) return;
    NetServiceBrowser* self = resolution.browser;
    ParoxLog("resolve_reply");
    // A resolve that failed (a service that has gone for good) comes without names.
    if (errorCode != dnssd::kDNSServiceErr_NoError || !fullname || !hosttarget) {
        ParoxLog("resolve_reply error %d", errorCode);
        self->endResolution(resolution.key);
        return;
    }
    const std::uint16_t hostPort = ntohs(port);
    ParoxLog("Bonjour: \"%s\" can %s be reached at %s:%u", fullname,
             resolution.adding ? "" : "no longer", hosttarget, static_cast<unsigned>(hostPort));
    resolution.port = hostPort;
    resolution.fullName = QString::fromUtf8(fullname);

    const in_addr_t dotted = inet_addr(hosttarget);
    if (dotted != INADDR_NONE) {
        self->didResolveTo(resolution, dotted);
        return;
    }
    dnssd::DNSServiceRef query = nullptr;
    const dnssd::DNSServiceErrorType err =
        mDNSServiceQueryRecordFn(&query, 0, 0, hosttarget, dnssd::kDNSServiceType_A,
                                 dnssd::kDNSServiceClass_IN, &lookup_callback, &resolution);
    if (err != dnssd::kDNSServiceErr_NoError) {
        ParoxLog("DNSServiceQueryRecord: %d", err);
        return;
    }
    // A later answer about the host target asks again; the earlier query is no longer followed.
    self->retire(std::exchange(resolution.queryRef, query));
    resolution.addresses.clear();
}

void NetServiceBrowser::lookup_callback(dnssd::DNSServiceRef, dnssd::DNSServiceFlags flags,
                                        std::uint32_t, dnssd::DNSServiceErrorType errorCode,
                                        const char*, std::uint16_t rrtype, std::uint16_t,
                                        std::uint16_t rdlen, const void* rdata, std::uint32_t,
                                        void* context) {
    Resolution& resolution = *static_cast<Resolution*>(context);
    if (resolution.ended) return;
    ParoxLog("lookup_callback: %x", flags);
    const bool last = !(flags & dnssd::kDNSServiceFlagsMoreComing);
    // A removal only needs the address that identifies the service: the batch's last answer.
    if (!resolution.adding && !last) return;
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
    if (!resolution.adding) {
        resolution.browser->didResolveTo(resolution, address);
        return;
    }
    resolution.browser->addressAnswer(resolution, address,
                                      (flags & dnssd::kDNSServiceFlagsAdd) != 0, last);
}

void NetServiceBrowser::addressAnswer(Resolution& resolution, std::uint32_t ipv4NetworkOrder,
                                      bool added, bool last) {
    std::vector<std::uint32_t>& addresses = resolution.addresses;
    std::erase(addresses, ipv4NetworkOrder);
    if (added)
        addresses.push_back(ipv4NetworkOrder);
    else
        ParoxLog("the address was withdrawn");
    // Only the batch's end counts: a change comes as a withdrawal and an addition, in any order.
    if (!last) return;
    if (addresses.empty()) {
        reportGone(resolution.key);
        return;
    }
    // A withdrawal of another address leaves the reported one standing: nothing to tell.
    const auto reported = mReported.find(resolution.key);
    if (!added && reported != mReported.end() &&
        socketAddressIPv4(reported->second.addressData()) == ntohl(addresses.back()))
        return;
    didResolveTo(resolution, addresses.back());
}

void NetServiceBrowser::reportGone(const QByteArray& key) {
    const auto known = mReported.find(key);
    if (known == mReported.end()) return;
    const NSNetServicesWinDNS service = known->second;
    mReported.erase(known);
    report(false, service);
}

void NetServiceBrowser::didResolveTo(Resolution& resolution, std::uint32_t ipv4NetworkOrder) {
    const bool adding = resolution.adding;
    const SocketAddress address =
        makeSocketAddress(ntohl(ipv4NetworkOrder), static_cast<std::uint16_t>(resolution.port));
    ParoxLog("addressData: %@",
             QByteArray(reinterpret_cast<const char*>(address.data()), address.size()));
    const QString name =
        serviceInstanceName(resolution.fullName.toUtf8()).value_or(resolution.fullName);
    const NSNetServicesWinDNS service(address, name, resolution.fullName);
    if (adding) {
        // Moved: the address it was reported at is gone, or it would be dialled there forever.
        if (const auto before = mReported.find(resolution.key);
            before != mReported.end() && !(before->second == service))
            reportGone(resolution.key);
        mReported.insert_or_assign(resolution.key, service);
    } else {
        // A removal is done once reported.
        mReported.erase(resolution.key);
        endResolution(resolution.key);
    }
    report(adding, service);
}

void NetServiceBrowser::report(bool adding, const NSNetServicesWinDNS& service) {
    if (adding)
        notify(NetServiceBrowserDelegate::kBrowserDidAddService,
               [&](NetServiceBrowserDelegate& d) { d.browserDidAddService(this, service); });
    else
        notify(NetServiceBrowserDelegate::kBrowserDidRemoveService,
               [&](NetServiceBrowserDelegate& d) { d.browserDidRemoveService(this, service); });
}

void NetServiceBrowser::stop() {
    if (_running) {
        notify(NetServiceBrowserDelegate::kBrowserWillStop,
               [this](NetServiceBrowserDelegate& d) { d.browserWillStop(this); });
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
    retire(std::exchange(client, nullptr));
    for (auto& resolution : mResolutions)
        retireResolution(std::move(resolution));
    mResolutions.clear();
    // Inside a callback, handleEvents ends them once the library call has returned.
    if (!mInCallback) deallocateRetired();
}

} // namespace vantle
