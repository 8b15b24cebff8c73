#include "net/LocalSubnets.h"

#include <QHostAddress>
#include <QNetworkInterface>

namespace vantle {
namespace {

constexpr int kAddressBits = 32;

// An unknown or zero prefix says nothing about the neighbours: only the address itself matches.
std::uint32_t netmask(int prefixLength) {
    if (prefixLength <= 0 || prefixLength >= kAddressBits) return ~std::uint32_t{0};
    return ~std::uint32_t{0} << (kAddressBits - prefixLength);
}

} // namespace

std::vector<LocalAddress> localIPv4Addresses() {
    std::vector<LocalAddress> found;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::IsRunning))
            continue;
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol) continue;
            found.push_back(LocalAddress{
                .interfaceName = interface.humanReadableName(),
                .ipv4 = entry.ip().toIPv4Address(),
                .prefixLength = entry.prefixLength(),
                .loopback = flags.testFlag(QNetworkInterface::IsLoopBack),
            });
        }
    }
    return found;
}

std::optional<LocalAddress> localSubnetOf(std::uint32_t ipv4,
                                          const std::vector<LocalAddress>& addresses) {
    for (const LocalAddress& local : addresses) {
        const std::uint32_t mask = netmask(local.prefixLength);
        if ((ipv4 & mask) == (local.ipv4 & mask)) return local;
    }
    return std::nullopt;
}

QString subnetText(const LocalAddress& address) {
    return QStringLiteral("%1/%2").arg(ipv4Text(address.ipv4)).arg(address.prefixLength);
}

QString ipv4Text(std::uint32_t ipv4) {
    return QHostAddress(ipv4).toString();
}

} // namespace vantle
