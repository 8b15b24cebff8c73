#pragma once

#include "net/CallbackGate.h"
#include "net/DnsSd.h"
#include "net/NSNetServicesWinDNS.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class QThread;
class QTimer;

namespace vantle {

class NetServiceBrowserDelegate;

// Browses for one DNS-SD service type and reports every service that comes or goes, resolved to
// an IPv4 address, to its delegate. It polls the library's sockets from a 0.3 s timer on the
// thread that starts it; every library callback and every delegate callback runs there. Each
// service is resolved on its own, so services that appear together are all reported; a newer
// event about the same service takes over from its unfinished resolution.
class NetServiceBrowser : public QObject {
public:
    // The transport of every service type browsed or advertised here.
    static constexpr char kTCPTransport[] = "tcp";

    // initWithDomain:type: ; no domain means the library's default browse domains.
    NetServiceBrowser(const std::optional<QString>& domain, const QString& type);
    ~NetServiceBrowser() override;

    // initTCPBrowserWithDomain:applicationProtocol: ; null for an empty protocol.
    static std::unique_ptr<NetServiceBrowser> createTCPBrowser(const std::optional<QString>& domain,
                                                               const QString& applicationProtocol);

    // Any thread. Once it returns no callback reaches the previous delegate: one under way on the
    // browser's thread is waited for (from inside a callback of this browser it cannot be, and is
    // not), so a delegate is cleared before it is destroyed.
    void setDelegate(NetServiceBrowserDelegate* delegate);
    NetServiceBrowserDelegate* delegate() const;

    // Starts browsing, polled from the calling thread, which must be `runLoop`. False without a
    // run loop, when one is recorded already (a failed start keeps it) or when browsing fails.
    bool startUsingRunLoop(QThread* runLoop);
    void stop();
    // One poll: processes the waiting results (a bounded number), each time the first operation
    // with one: browse, then the resolutions in the order they started. A delegate may stop the
    // browser from a callback; it must not delete it there (deleteLater).
    void handleEvents();

    bool isRunning() const { return _running; }
    dnssd::DNSServiceRef client1() const { return client; }
    // Resolutions being followed: one per service seen and not gone.
    std::size_t resolutionCount() const { return mResolutions.size(); }
    QString type() const { return _type; }
    // What the browse call answered at start; no error before a start.
    dnssd::DNSServiceErrorType browseError() const { return mBrowseError; }
    QString description() const;

private:
    static void VANTLE_DNSSD_API browse_reply(dnssd::DNSServiceRef, dnssd::DNSServiceFlags,
                                              std::uint32_t interfaceIndex,
                                              dnssd::DNSServiceErrorType, const char* serviceName,
                                              const char* regtype, const char* replyDomain,
                                              void* context);
    static void VANTLE_DNSSD_API resolve_reply(dnssd::DNSServiceRef, dnssd::DNSServiceFlags,
                                               std::uint32_t interfaceIndex,
                                               dnssd::DNSServiceErrorType, const char* fullname,
                                               const char* hosttarget, std::uint16_t port,
                                               std::uint16_t txtLen, const unsigned char* txt,
                                               void* context);
    static void VANTLE_DNSSD_API lookup_callback(dnssd::DNSServiceRef, dnssd::DNSServiceFlags,
                                                 std::uint32_t interfaceIndex,
                                                 dnssd::DNSServiceErrorType, const char* fullname,
                                                 std::uint16_t rrtype, std::uint16_t rrclass,
                                                 std::uint16_t rdlen, const void* rdata,
                                                 std::uint32_t ttl, void* context);

    // One service's way from its browse event to a reported address. It carries what the
    // callbacks pass along (whether it came or went, its port and DNS-SD full name) and stays
    // open after reporting, so that a later answer about the service reports again.
    struct Resolution {
        NetServiceBrowser* browser = nullptr;
        QByteArray key; // the browse event: interface, name, type, domain
        bool adding = true;
        std::uint32_t port = 0;
        QString fullName;
        dnssd::DNSServiceRef resolveRef = nullptr;
        dnssd::DNSServiceRef queryRef = nullptr;
        // The host target's addresses (network order) that its query has added and not
        // withdrawn, the newest last.
        std::vector<std::uint32_t> addresses;
        bool ended = false; // its operations are retired; late callbacks are ignored
    };

    // Processes the result of the first operation with one waiting, waiting at most `waitMs`
    // for one; false when none has.
    bool processOneResult(int waitMs);
    void didResolveTo(Resolution& resolution, std::uint32_t ipv4NetworkOrder);
    // One answer of a resolution's address query; `last` when it ends its batch.
    void addressAnswer(Resolution& resolution, std::uint32_t ipv4NetworkOrder, bool added,
                       bool last);
    // A service that appeared can no longer be reached at the address it was reported with.
    void reportGone(const QByteArray& key);
    void report(bool adding, const NSNetServicesWinDNS& service);
    // Sends one callback, if the delegate implements it, with the delegate kept from changing
    // under it.
    template <class Call> void notify(std::uint32_t callback, Call&& call);
    // Ends a resolution's operations once the library call under way has returned.
    void endResolution(const QByteArray& key);
    void retireResolution(std::unique_ptr<Resolution> resolution);
    void retire(dnssd::DNSServiceRef ref);
    // Stops polling an operation whose results can no longer be read.
    void dropBrokenOperation(dnssd::DNSServiceRef ref);
    void deallocateRetired();

    std::optional<QString> _domain;
    QString _type;
    mutable std::mutex mDelegateLock; // _delegate with _delegateMethods, read together
    NetServiceBrowserDelegate* _delegate = nullptr;
    std::uint32_t _delegateMethods = 0;
    CallbackGate mCallbacks; // callbacks in flight, waited for when the delegate changes
    bool _running = false;
    QThread* _runLoop = nullptr;
    QTimer* mEventTimer = nullptr;
    dnssd::DNSServiceRef client = nullptr;
    std::vector<std::unique_ptr<Resolution>> mResolutions;
    // Operations to end after the library call that ended them has returned.
    std::vector<dnssd::DNSServiceRef> mRetired;
    // Ended resolutions stay until then too: one library call may run several callbacks, and
    // those after the one that ended a resolution still carry it as their context.
    std::vector<std::unique_ptr<Resolution>> mEndedResolutions;
    bool mInCallback = false; // a library call that runs callbacks is under way
    // What each reported service resolved to, by browse event.
    std::map<QByteArray, NSNetServicesWinDNS> mReported;
    dnssd::DNSServiceErrorType mBrowseError = dnssd::kDNSServiceErr_NoError;
};

} // namespace vantle
