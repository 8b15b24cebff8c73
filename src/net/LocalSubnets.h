#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace vantle {

// One IPv4 address of one of this computer's network interfaces that is up and running.
struct LocalAddress {
    QString interfaceName;
    std::uint32_t ipv4 = 0; // host order
    int prefixLength = 0;   // 24 for 255.255.255.0
    bool loopback = false;
};

// Every IPv4 address of the interfaces that are up and running, loopback included.
std::vector<LocalAddress> localIPv4Addresses();

// The local address whose subnet holds `ipv4` (host order); none when it is on none of them.
std::optional<LocalAddress> localSubnetOf(std::uint32_t ipv4,
                                          const std::vector<LocalAddress>& addresses);

// "192.168.1.20/24".
QString subnetText(const LocalAddress& address);
// "192.168.1.20" from a host-order address.
QString ipv4Text(std::uint32_t ipv4);

} // namespace vantle
