#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>
#include <mutex>
#include <vector>

namespace vantle {

struct Notification {
    QString name;
    QVariant object;
    QVariant userInfo;
};

// Observers by name; handlers always run on the main thread. An observer is tied to a context
// object and goes away with it.
class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;
    using Token = quint64;

    static NotificationCenter& defaultCenter();

    Token addObserver(const QString& name, QObject* context, Handler handler);
    void removeObserver(Token token);
    void removeObservers(QObject* context);

    // Delivers at once when called on the main thread, otherwise hands the notification to the
    // main thread and returns.
    void post(const QString& name, const QVariant& object = {}, const QVariant& userInfo = {});
    void post(const Notification& notification);

private:
    struct Observer {
        Token token;
        QString name;
        QPointer<QObject> context;
        Handler handler;
    };
    void deliver(const Notification& notification);

    std::mutex mLock;
    std::vector<Observer> mObservers;
    Token mNextToken = 1;
};

} // namespace vantle
