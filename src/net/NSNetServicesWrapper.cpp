#include "net/NSNetServicesWrapper.h"

#include "net/NSNetServicesWinDNS.h"
#include "net/WireFormat.h"
#include "support/ParoxLog.h"

#include <QHashFunctions>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <typeinfo>

#if defined(Q_OS_WIN)
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace vantle {
namespace {

constexpr char kManualServiceName[] = "Manual:Connection";
constexpr qsizetype kMaxPortDigits = 5;
constexpr uint kMaxPort = 65535;

} // namespace

std::optional<TypedAddress> splitTypedAddress(const QString& text) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon < 0) return TypedAddress{text, wire::kDefaultPhonePort};
    const QStringView digits = QStringView(text).mid(colon + 1);
    // Digits only: no sign, blank or base prefix slips through toUInt.
    const bool allDigits =
        !digits.isEmpty() && digits.size() <= kMaxPortDigits &&
        std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const uint port = allDigits ? digits.toUInt() : 0;
    if (port == 0 || port > kMaxPort) return std::nullopt;
    return TypedAddress{text.left(colon), static_cast<std::uint16_t>(port)};
}

std::optional<SocketAddress> lookUpHost(const QString& name, std::uint16_t port) {
    const QByteArray host = name.toUtf8();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.constData(), nullptr, &hints, &found) != 0 || !found) return std::nullopt;
    std::optional<SocketAddress> result;
    for (const addrinfo* a = found; a; a = a->ai_next) {
        if (a->ai_family != AF_INET || a->ai_addrlen < sizeof(sockaddr_in)) continue;
        sockaddr_in in{};
        std::memcpy(&in, a->ai_addr, sizeof in);
        result = makeSocketAddress(ntohl(in.sin_addr.s_addr), port);
        break;
    }
    freeaddrinfo(found);
    return result;
}

Result<SocketAddress> addressToDial(const QString& text) {
    const auto typed = splitTypedAddress(text);
    if (!typed)
        return Error{QStringLiteral("not a port number: %1")
                         .arg(text.mid(text.lastIndexOf(QLatin1Char(':')) + 1))};
    if (const auto wrapper = NSNetServicesWrapper::wrapperWithIP(text))
        return wrapper->addressData();
    return Error{QStringLiteral("cannot find the address of %1").arg(typed->host)};
}

NSNetServicesWrapper::NSNetServicesWrapper(const SocketAddress& address) : mAddressData(address) {}

std::optional<NSNetServicesWrapper>
NSNetServicesWrapper::wrapperWithNumericIP(const QString& text) {
    const auto typed = splitTypedAddress(text);
    if (!typed) return std::nullopt;
    const QByteArray bytes = typed->host.toUtf8();
    if (std::atoi(bytes.constData()) <= 0) return std::nullopt;
    const in_addr_t dotted = inet_addr(bytes.constData());
    // inet_addr answers all ones for text it cannot read; only the broadcast address itself may
    // stand for that, anything else ("1abc") is a host name.
    if (dotted == INADDR_NONE && bytes.trimmed() != "255.255.255.255") return std::nullopt;
    return NSNetServicesWrapper(makeSocketAddress(ntohl(dotted), typed->port));
}

std::optional<NSNetServicesWrapper> NSNetServicesWrapper::wrapperWithIP(const QString& text,
                                                                        const HostLookup& lookUp) {
    const auto typed = splitTypedAddress(text);
    if (!typed) {
        ParoxLog("Socket()- bad port in %@!", text);
        return std::nullopt;
    }
    if (auto numeric = wrapperWithNumericIP(text)) return numeric;
    if (auto address = lookUp(typed->host, typed->port)) return NSNetServicesWrapper(*address);
    ParoxLog("Socket()- bad hostname %@!", typed->host);
    return std::nullopt;
}

NSNetServicesWinDNS NSNetServicesWrapper::wrapperWithAddress(const SocketAddress& address,
                                                             const QString& name) {
    return NSNetServicesWinDNS(address, name);
}

QString NSNetServicesWrapper::serviceName() const {
    return QLatin1String(kManualServiceName);
}

QString NSNetServicesWrapper::description() const {
    return QStringLiteral("<NSNetServicesWrapper: %1>")
        .arg(socketAddressText(mAddressData).value_or(QStringLiteral("?")));
}

bool NSNetServicesWrapper::resolve(double) {
    return true;
}

std::vector<SocketAddress> NSNetServicesWrapper::getAddresses() const {
    return {mAddressData};
}

std::size_t NSNetServicesWrapper::hash() const {
    return qHashBits(mAddressData.data(), mAddressData.size());
}

bool NSNetServicesWrapper::isEqual(const NSNetServicesWrapper& other) const {
    return typeid(*this) == typeid(other) && mAddressData == other.mAddressData;
}

} // namespace vantle
