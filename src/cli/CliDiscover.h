#pragma once

#include <QStringList>

namespace vantle::cli {

// discover [--seconds N]: browses for phones as the desktop program does and prints one line per
// phone as it appears ("+") and disappears ("-"): unique ID, name, address.
int runDiscover(const QStringList& arguments);

} // namespace vantle::cli
