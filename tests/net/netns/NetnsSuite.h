#pragma once

#include "net/DnsSdLibrary.h"

#include <QtGlobal>

// What every suite run by run-in-netns.sh starts with.
namespace vantle::test {

inline constexpr char kNeedsNamespace[] =
    "*** SKIPPED: needs the private network namespace of run-in-netns.sh (root) ***";

// Whether run-in-netns.sh made the private network namespace this suite runs in.
inline bool inPrivateNamespace() {
    return !qEnvironmentVariableIsEmpty("VANTLE_NETNS");
}

// Loads the system's DNS-SD library, never a stand-in; dnsSdLoadError says why not.
inline bool loadRealDnsSd() {
    qunsetenv("VANTLE_DNSSD_LIBRARY");
    return loadBonjourDLL();
}

} // namespace vantle::test
