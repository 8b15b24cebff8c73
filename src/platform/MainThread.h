#pragma once

#include <QObject>
#include <functional>

// Hand-offs between threads. The "main thread" is the thread of the QCoreApplication instance.
// None waits: a worker that waited for the main thread would hang a quit that joins it.
namespace vantle {

bool isMainThread();

// Queues `work` on the main thread's event loop and returns at once, even when called there.
void runOnMainThread(std::function<void()> work);

// Runs `work` on the thread of `context` after `ms` milliseconds, unless `context` is gone by then.
// Safe to call from any thread.
void performAfterDelay(QObject* context, int ms, std::function<void()> work);

// Runs `work` on the thread of `context` as soon as its event loop turns; safe from any thread.
void runOn(QObject* context, std::function<void()> work);

} // namespace vantle
