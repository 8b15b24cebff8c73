#pragma once

#include <cstdint>

namespace vantle {

class NetServiceBrowser;
class NSNetServicesWinDNS;

// What a browser reports. The browser asks implementedCallbacks() once, when the delegate is set,
// and sends only the callbacks whose bit is set.
class NetServiceBrowserDelegate {
public:
    enum Callback : std::uint32_t {
        kBrowserDidStart = 1u << 0,
        kBrowserDidAddService = 1u << 1,
        kBrowserDidRemoveService = 1u << 2,
        kBrowserWillStop = 1u << 3,
    };

    virtual ~NetServiceBrowserDelegate() = default;
    virtual std::uint32_t implementedCallbacks() const = 0;

    virtual void browserDidStart(NetServiceBrowser*) {}
    virtual void browserDidAddService(NetServiceBrowser*, const NSNetServicesWinDNS&) {}
    virtual void browserDidRemoveService(NetServiceBrowser*, const NSNetServicesWinDNS&) {}
    virtual void browserWillStop(NetServiceBrowser*) {}
};

} // namespace vantle
