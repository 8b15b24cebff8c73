#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace vantle {

// The instance name inside a DNS-SD full name as a resolve reports it, with the DNS escapes
// undone: "ABC\058Test\032Phone._GAME-3025F862._tcp.local." gives "ABC:Test Phone". The instance
// is the first label; "\DDD" is one byte in decimal and "\." or "\\" the character itself. None,
// with a log line, for a malformed escape, an empty instance or bytes that are not UTF-8.
std::optional<QString> serviceInstanceName(const QByteArray& fullName);

} // namespace vantle
