#include "platform/MainThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <QTimer>

namespace vantle {

bool isMainThread() {
    auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void runOnMainThread(std::function<void()> work) {
    auto* app = QCoreApplication::instance();
    if (!app) return;
    QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

void runOn(QObject* context, std::function<void()> work) {
    if (!context) return;
    QMetaObject::invokeMethod(context, std::move(work), Qt::QueuedConnection);
}

void performAfterDelay(QObject* context, int ms, std::function<void()> work) {
    if (!context) return;
    if (QThread::currentThread() == context->thread()) {
        QTimer::singleShot(ms, context, std::move(work));
        return;
    }
    // The timer must be started on the thread whose event loop will fire it.
    QMetaObject::invokeMethod(
        context,
        [context, ms, work = std::move(work)]() mutable {
            QTimer::singleShot(ms, context, std::move(work));
        },
        Qt::QueuedConnection);
}

} // namespace vantle
