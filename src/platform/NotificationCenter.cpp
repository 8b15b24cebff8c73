#include "platform/NotificationCenter.h"

#include "platform/MainThread.h"

#include <algorithm>

namespace vantle {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

NotificationCenter::Token NotificationCenter::addObserver(const QString& name, QObject* context,
                                                          Handler handler) {
    std::lock_guard guard(mLock);
    const Token token = mNextToken++;
    mObservers.push_back({token, name, context, std::move(handler)});
    return token;
}

void NotificationCenter::removeObserver(Token token) {
    std::lock_guard guard(mLock);
    std::erase_if(mObservers, [token](const Observer& o) { return o.token == token; });
}

void NotificationCenter::removeObservers(QObject* context) {
    std::lock_guard guard(mLock);
    std::erase_if(mObservers, [context](const Observer& o) { return o.context == context; });
}

void NotificationCenter::post(const QString& name, const QVariant& object,
                              const QVariant& userInfo) {
    post(Notification{name, object, userInfo});
}

void NotificationCenter::post(const Notification& notification) {
    if (isMainThread()) {
        deliver(notification);
        return;
    }
    runOnMainThread([this, notification] { deliver(notification); });
}

void NotificationCenter::deliver(const Notification& notification) {
    std::vector<std::pair<QPointer<QObject>, Handler>> targets;
    {
        std::lock_guard guard(mLock);
        std::erase_if(mObservers, [](const Observer& o) { return o.context.isNull(); });
        for (const auto& o : mObservers)
            if (o.name == notification.name) targets.emplace_back(o.context, o.handler);
    }
    // Handlers run unlocked: they may add or remove observers or post again.
    for (const auto& [context, handler] : targets)
        if (context) handler(notification);
}

} // namespace vantle
