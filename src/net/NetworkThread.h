#pragma once

#include <QObject>
#include <atomic>

namespace vantle {

// The network thread's event loop, as the object that lives on it: the context of every
// connection's socket notifiers and timers. Set once by startNetworkThread, never cleared.
extern std::atomic<QObject*> gClientRunloop;

// Starts the network thread the first time it is called and returns once gClientRunloop is
// published; later calls return at once. The thread runs until the process ends, or until
// stopNetworkThread at its end. Needs a QCoreApplication.
QObject* startNetworkThread();

// For the end of the process: ends the network thread's event loop and waits up to `timeoutMs`
// for the thread to finish, so that none of its timers or socket events runs while the process
// tears down. True when it has finished or never started; false when it is still busy, and it is
// then left to the end of the process. Connections should be closed first: after this, nothing
// reaches them.
bool stopNetworkThread(int timeoutMs);

} // namespace vantle
