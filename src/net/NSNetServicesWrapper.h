#pragma once

#include "net/ResolvedService.h"
#include "net/SocketAddress.h"

#include <QString>
#include <cstddef>
#include <optional>

namespace vantle {

class NSNetServicesWinDNS;

// Where a phone is, as a value: for an address the user typed. Two wrappers are equal when they
// are of exactly the same class and their address bytes match; the name takes no part.
class NSNetServicesWrapper : public ResolvedService {
public:
    // initWithAddress:andName: (the plain wrapper has no name of its own).
    explicit NSNetServicesWrapper(const SocketAddress& address);
    NSNetServicesWrapper(const NSNetServicesWrapper&) = default;
    NSNetServicesWrapper& operator=(const NSNetServicesWrapper&) = default;
    ~NSNetServicesWrapper() override = default;

    // initWithIP: a dotted IPv4 address when the text starts with a positive number, otherwise a
    // host name looked up for IPv4; port 34345. None when neither gives an address.
    static std::optional<NSNetServicesWrapper> wrapperWithIP(const QString& text);
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
