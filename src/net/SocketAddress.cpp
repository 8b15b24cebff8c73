#include "net/SocketAddress.h"

#include "net/NetUtilities.h"

#include <cstring>

#if defined(Q_OS_WIN)
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace vantle {
namespace {

sockaddr_in toSockaddrIn(const SocketAddress& address) {
    sockaddr_in in{};
    static_assert(sizeof in == std::tuple_size_v<SocketAddress>);
    std::memcpy(&in, address.data(), sizeof in);
    return in;
}

} // namespace

SocketAddress makeSocketAddress(std::uint32_t ipv4HostOrder, std::uint16_t portHostOrder) {
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_port = htons(portHostOrder);
    in.sin_addr.s_addr = htonl(ipv4HostOrder);
    SocketAddress address{};
    std::memcpy(address.data(), &in, sizeof in);
    return address;
}

std::optional<SocketAddress> socketAddressFromString(const QString& dotted,
                                                     std::uint16_t portHostOrder) {
    in_addr parsed{};
    if (inet_pton(AF_INET, dotted.toLatin1().constData(), &parsed) != 1) return std::nullopt;
    return makeSocketAddress(ntohl(parsed.s_addr), portHostOrder);
}

const sockaddr* asSockaddr(const SocketAddress& address) {
    return reinterpret_cast<const sockaddr*>(address.data());
}

bool isIPv4(const SocketAddress& address) {
    return toSockaddrIn(address).sin_family == AF_INET;
}

std::uint16_t socketAddressPort(const SocketAddress& address) {
    return isIPv4(address) ? ntohs(toSockaddrIn(address).sin_port) : 0;
}

std::uint32_t socketAddressIPv4(const SocketAddress& address) {
    return isIPv4(address) ? ntohl(toSockaddrIn(address).sin_addr.s_addr) : 0;
}

std::optional<QString> socketAddressText(const SocketAddress& address) {
    return IPAddressToString(asSockaddr(address), true, true);
}

} // namespace vantle
