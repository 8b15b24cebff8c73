#include "net/NetUtilities.h"

#include <QHostInfo>
#include <QNetworkInterface>
#include <atomic>
#include <cstring>
#include <mutex>

#if defined(Q_OS_WIN)
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace vantle {
namespace {

constexpr socklen_t kIPv4AddressLength = 16;
constexpr size_t kHostBufferSize = 1025;
constexpr size_t kServiceBufferSize = 32;

std::atomic<int> gUniqueIDComputations{0};

struct NameLookup {
    bool ok = false;
    char host[kHostBufferSize] = {};
    char service[kServiceBufferSize] = {};
};

NameLookup lookUp(const sockaddr* address, int flags, bool wantHost) {
    NameLookup result;
    const int error = getnameinfo(address, kIPv4AddressLength, wantHost ? result.host : nullptr,
                                  wantHost ? sizeof result.host : 0, result.service,
                                  sizeof result.service, flags);
    result.ok = error == 0;
    return result;
}

// The first adapter in the system's order that can carry IPv4, is not a loopback and has a
// hardware address.
QString firstAdapterAddress() {
    for (const QNetworkInterface& adapter : QNetworkInterface::allInterfaces()) {
        if (adapter.type() == QNetworkInterface::Loopback ||
            adapter.flags().testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const QString text = hardwareAddressText(
            QByteArray::fromHex(adapter.hardwareAddress().remove(QLatin1Char(':')).toLatin1()));
        if (text.isEmpty()) continue;
        // Adapters that have never had an IPv4 address still count when the system lists them
        // as able to; Qt lists only configured addresses, so accept an adapter without any.
        const auto entries = adapter.addressEntries();
        const bool ipv4Capable =
            entries.isEmpty() || std::any_of(entries.begin(), entries.end(), [](const auto& e) {
                return e.ip().protocol() == QAbstractSocket::IPv4Protocol;
            });
        if (ipv4Capable) return text;
    }
    return {};
}

} // namespace

std::optional<QString> IPAddressToIPString(const sockaddr* address) {
    if (!address) return std::nullopt;
    const NameLookup found = lookUp(address, NI_NOFQDN | NI_NUMERICHOST | NI_NUMERICSERV, true);
    if (!found.ok) return std::nullopt;
    return QString::fromUtf8(found.host);
}

std::optional<QString> IPAddressToString(const sockaddr* address, bool numericHost,
                                         bool numericPort) {
    if (!address) return std::nullopt;
    int flags = NI_NOFQDN;
    if (numericHost) flags |= NI_NUMERICHOST;
    if (numericPort) flags |= NI_NUMERICSERV;
    NameLookup found = lookUp(address, flags, true);
    if (!found.ok) return std::nullopt;
    if (!numericPort && found.service[0] == '\0') {
        const NameLookup port = lookUp(address, NI_NUMERICSERV, false);
        if (!port.ok) return std::nullopt;
        std::memcpy(found.service, port.service, sizeof found.service);
    }
    const QString host = QString::fromUtf8(found.host);
    if (found.service[0] == '0') return host;
    return host + QLatin1Char(':') + QString::fromUtf8(found.service);
}

QString HostGetName() {
    static std::once_flag once;
    static QString name;
    std::call_once(once, [] { name = QHostInfo::localHostName(); });
    return name;
}

QString hardwareAddressText(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.count('\0') == bytes.size()) return {};
    QStringList parts;
    for (const char byte : bytes)
        parts << QStringLiteral("%1").arg(static_cast<uchar>(byte), 2, 16, QLatin1Char('0'));
    return parts.join(QLatin1Char('-')).toUpper();
}

QString normalizedUniqueID(const QString& id) {
    return id.toUpper().replace(QLatin1Char(':'), QLatin1Char('-'));
}

std::optional<QString> HostGetUniqueID() {
    static std::once_flag once;
    static QString id;
    std::call_once(once, [] {
        ++gUniqueIDComputations;
        QString found = firstAdapterAddress();
        if (found.isEmpty()) found = QHostInfo::localHostName();
        id = normalizedUniqueID(found);
    });
    if (id.isEmpty()) return std::nullopt;
    return id;
}

int HostUniqueIDComputations() {
    return gUniqueIDComputations.load();
}

std::optional<QString> _MakeServiceType(const QString& applicationProtocol,
                                        const QString& transportProtocol) {
    if (applicationProtocol.isEmpty() || transportProtocol.isEmpty()) return std::nullopt;
    return QStringLiteral("_%1._%2.").arg(applicationProtocol, transportProtocol);
}

} // namespace vantle
