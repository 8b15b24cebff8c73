#include "net/NetworkThread.h"

#include "support/ParoxLog.h"

#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>
#include <condition_variable>
#include <mutex>

namespace vantle {

std::atomic<QObject*> gClientRunloop{nullptr};

namespace {

// Keeps the loop turning even with no connection, as the rest of the program expects.
constexpr int kKeepAliveIntervalMs = 100;

void doNothing() {}

} // namespace

QObject* startNetworkThread() {
    static std::once_flag once;
    std::call_once(once, [] {
        ParoxLog("runLoopUntilDisconnect");
        // Both live as long as the process: the thread is never stopped.
        auto* thread = new QThread;
        thread->setObjectName(QStringLiteral("network"));
        auto* loop = new QObject;
        loop->moveToThread(thread);
        thread->start();

        std::mutex published;
        std::condition_variable ready;
        QMetaObject::invokeMethod(
            loop,
            [&, loop] {
                auto* keepAlive = new QTimer(loop);
                QObject::connect(keepAlive, &QTimer::timeout, loop, &doNothing);
                keepAlive->start(kKeepAliveIntervalMs);
                std::lock_guard lock(published);
                gClientRunloop.store(loop);
                ready.notify_all();
            },
            Qt::QueuedConnection);
        std::unique_lock lock(published);
        ready.wait(lock, [] { return gClientRunloop.load() != nullptr; });
    });
    return gClientRunloop.load();
}

bool stopNetworkThread(int timeoutMs) {
    QObject* loop = gClientRunloop.load();
    if (!loop) return true;
    QThread* thread = loop->thread();
    thread->quit();
    const bool finished = thread->wait(QDeadlineTimer(timeoutMs));
    ParoxLog("stopNetworkThread: %@", finished ? "stopped" : "still busy, left running");
    return finished;
}

} // namespace vantle
