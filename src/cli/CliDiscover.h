#pragma once

#include <QStringList>

namespace vantle::cli {

// discover [--seconds N] [--verbose]: browses for phones as the desktop program does and prints one
// line per phone as it appears ("+") and disappears ("-"): unique ID, name, address. --verbose logs
// every step of browsing and resolving.
int runDiscover(const QStringList& arguments);

} // namespace vantle::cli
