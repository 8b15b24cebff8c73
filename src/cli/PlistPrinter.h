#pragma once

#include <QByteArray>
#include <QVariant>

namespace vantle {

// A readable dump of a property-list value, one entry per line; data shows its length and first
// bytes.
QByteArray printPlist(const QVariant& value);

} // namespace vantle
