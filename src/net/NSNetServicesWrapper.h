#pragma once

#include "net/ResolvedService.h"
#include "net/SocketAddress.h"
#include "platform/Result.h"

#include <QLatin1StringView>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace vantle {

class NSNetServicesWinDNS;

// A typed address split into its host and port: "HOST" (port 34345) or "HOST:PORT".
struct TypedAddress {
    QString host;
    std::uint16_t port = 0;
};
// None when a port is given but is not a number from 1 to 65535.
std::optional<TypedAddress> splitTypedAddress(const QString& text);
// Finds an IPv4 address of a host name, with `port`. Takes as long as the resolver does, which
// may be long: the window looks names up on a worker.
using HostLookup =
    std::function<std::optional<SocketAddress>(const QString& host, std::uint16_t port)>;
// The system's resolver.
std::optional<SocketAddress> lookUpHost(const QString& host, std::uint16_t port);
// The address to dial for a typed "HOST" or "HOST:PORT" (the host may be a name, looked up here),
// or in a few words why there is none.
Result<SocketAddress> addressToDial(const QString& text);

// Where a phone is, as a value: for an address the user typed. Two wrappers are equal when they
// are of exactly the same class and their address bytes match; the name takes no part.
class NSNetServicesWrapper : public ResolvedService {
public:
    // initWithAddress:andName: (the plain wrapper has no name of its own).
    explicit NSNetServicesWrapper(const SocketAddress& address);
    NSNetServicesWrapper(const NSNetServicesWrapper&) = default;
    NSNetServicesWrapper& operator=(const NSNetServicesWrapper&) = default;
    ~NSNetServicesWrapper() override = default;

    // The unique ID of a peer made from a typed address, until its handshake names it.
    static constexpr QLatin1StringView kManualUniqueID{"Manual"};

    // initWithIP: a dotted IPv4 address when the host starts with a positive number, otherwise a
    // host name looked up for IPv4 by `lookUp`; port 34345 unless the text ends in ":PORT". None
    // when neither gives an address or the port is bad.
    static std::optional<NSNetServicesWrapper> wrapperWithIP(const QString& text,
                                                             const HostLookup& lookUp = lookUpHost);
    // The same without a look-up: none for a host name.
    static std::optional<NSNetServicesWrapper> wrapperWithNumericIP(const QString& text);
    static NSNetServicesWinDNS wrapperWithAddress(const SocketAddress& address,
                                                  const QString& name);

    const SocketAddress& addressData() const { return mAddressData; }
    QString serviceName() const override;
    virtual QString description() const;
    bool resolve(double timeoutSeconds) override;
    std::vector<SocketAddress> getAddresses() const override;

    std::size_t hash() const;
    bool isEqual(const NSNetServicesWrapper& other) const;
    bool operator==(const NSNetServicesWrapper& other) const { return isEqual(other); }

private:
    SocketAddress mAddressData;
};

struct NSNetServicesWrapperHash {
    std::size_t operator()(const NSNetServicesWrapper& w) const { return w.hash(); }
};

} // namespace vantle
