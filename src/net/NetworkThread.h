#pragma once

#include <QObject>
#include <atomic>

namespace vantle {

// The network thread's event loop, as the object that lives on it: the context of every
// connection's socket notifiers and timers. Set once by startNetworkThread, never cleared.
extern std::atomic<QObject*> gClientRunloop;

// Starts the network thread the first time it is called and returns once gClientRunloop is
// published; later calls return at once. The thread runs until the process ends. Needs a
// QCoreApplication.
QObject* startNetworkThread();

} // namespace vantle
