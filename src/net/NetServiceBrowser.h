#pragma once

#include "net/DnsSd.h"
#include "net/NSNetServicesWinDNS.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

class QThread;
class QTimer;

namespace vantle {

class NetServiceBrowserDelegate;

// Browses for one DNS-SD service type and reports every service that comes or goes, resolved to
// an IPv4 address, to its delegate. It polls the library's sockets from a 0.3 s timer on the
// thread that starts it; every library callback and every delegate callback runs there. One
// resolution is followed at a time: a newer browse event takes over from an unfinished one.
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

    void setDelegate(NetServiceBrowserDelegate* delegate);
    NetServiceBrowserDelegate* delegate() const { return _delegate; }

    // Starts browsing, polled from the calling thread, which must be `runLoop`. False without a
    // run loop, when one is recorded already (a failed start keeps it) or when browsing fails.
    bool startUsingRunLoop(QThread* runLoop);
    void stop();
    // One poll: processes the waiting results (a bounded number), each time the first of browse,
    // resolve and query that has one. A delegate may stop the browser from a callback; it must
    // not delete it there (deleteLater).
    void handleEvents();

    bool isRunning() const { return _running; }
    QString fullName() const { return mFullName; }
    std::uint32_t port() const { return mPort; }
    bool isAdding() const { return mAdding; }
    dnssd::DNSServiceRef client1() const { return client; }
    dnssd::DNSServiceRef client2() const { return mClient2; }
    dnssd::DNSServiceRef client3() const { return mClient3; }
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

    // Processes the result of the first reference with one waiting; false when none has.
    bool processOneResult();
    void didResolveTo(std::uint32_t ipv4NetworkOrder);
    void report(bool adding, const NSNetServicesWinDNS& service);
    // Puts a new operation in a slot, ending the one it replaces.
    static void replaceReference(dnssd::DNSServiceRef* slot, dnssd::DNSServiceRef next);

    std::optional<QString> _domain;
    QString _type;
    NetServiceBrowserDelegate* _delegate = nullptr;
    std::uint32_t _delegateMethods = 0;
    bool _running = false;
    QThread* _runLoop = nullptr;
    QTimer* mEventTimer = nullptr;
    dnssd::DNSServiceRef client = nullptr;
    dnssd::DNSServiceRef mClient2 = nullptr;
    dnssd::DNSServiceRef mClient3 = nullptr;
    bool mAdding = true;
    std::uint32_t mPort = 0;
    QString mFullName;
    // The browse event whose resolution is under way, and what each reported service resolved
    // to, by browse event (interface, name, type, domain).
    QByteArray mResolvingKey;
    std::map<QByteArray, NSNetServicesWinDNS> mReported;
    dnssd::DNSServiceErrorType mBrowseError = dnssd::kDNSServiceErr_NoError;
};

} // namespace vantle
