#pragma once

#include <QString>
#include <optional>

struct sockaddr;

namespace vantle {

// Text forms of a 16-byte IPv4 socket address; none for a missing address or a failed lookup.
std::optional<QString> IPAddressToIPString(const sockaddr* address);
std::optional<QString> IPAddressToString(const sockaddr* address, bool numericHost,
                                         bool numericPort);

// The computer's host name, looked up once.
QString HostGetName();

// The ID this computer announces in its handshake: the hardware address of the first IPv4-capable,
// non-loopback adapter as "00-1A-2B-3C-4D-5E", else the upper-cased host name. Computed once; none
// only when neither exists.
std::optional<QString> HostGetUniqueID();
// How many times the unique ID has been worked out so far (tests check the cache: at most once).
int HostUniqueIDComputations();

// The text form of a hardware address as the unique ID uses it; empty for an empty address.
QString hardwareAddressText(const QByteArray& bytes);
// Upper case, with every ":" turned into "-".
QString normalizedUniqueID(const QString& id);

// "_GAME-0123ABCD._tcp." from "GAME-0123ABCD" and "tcp"; none when either is empty.
std::optional<QString> _MakeServiceType(const QString& applicationProtocol,
                                        const QString& transportProtocol);

} // namespace vantle
