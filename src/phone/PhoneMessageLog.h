#pragma once

#include <QString>
#include <QVariant>

namespace vantle::phone {

// One readable line for a message: "Request #3 VersionCheck {ServerVersion=259}"; data values
// show as their size.
QString describeMessage(const QVariantMap& message);
QString describeValue(const QVariant& value);

// Writes a line to standard output at once (tests and people read it as it comes).
void printLine(const QString& line);

} // namespace vantle::phone
