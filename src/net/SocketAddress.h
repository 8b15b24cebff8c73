#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

struct sockaddr;

namespace vantle {

// The 16-byte IPv4 socket address every layer passes around: family, then port and address in
// network order, as the system's sockaddr_in lays them out.
using SocketAddress = std::array<std::uint8_t, 16>;

// An IPv4 address from host-order parts ("127.0.0.1" is 0x7F000001).
SocketAddress makeSocketAddress(std::uint32_t ipv4HostOrder, std::uint16_t portHostOrder);
// From dotted text ("192.168.1.20") and a port; none when the text is not a dotted IPv4 address.
std::optional<SocketAddress> socketAddressFromString(const QString& dotted,
                                                     std::uint16_t portHostOrder);

const sockaddr* asSockaddr(const SocketAddress& address);
bool isIPv4(const SocketAddress& address);
// Host order; 0 unless the address is IPv4.
std::uint16_t socketAddressPort(const SocketAddress& address);
std::uint32_t socketAddressIPv4(const SocketAddress& address);
// "127.0.0.1:34345", the port left out when it is 0; none when the lookup fails.
std::optional<QString> socketAddressText(const SocketAddress& address);

} // namespace vantle
