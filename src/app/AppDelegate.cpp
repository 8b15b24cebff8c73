#include "app/AppDelegate.h"

#include "app/AppController.h"
#include "ui/MRWindow.h"

#include <QCoreApplication>
#include <QFileOpenEvent>

namespace vantle {

AppDelegate::AppDelegate(AppController& controller, QObject* parent)
    : QObject(parent), appController(controller) {
    if (auto* app = QCoreApplication::instance()) app->installEventFilter(this);
}

void AppDelegate::openFiles(const QStringList& paths, const std::optional<QString>& connectTo,
                            WhenSaved whenSaved, const QString& activationToken) {
    if (MRWindow* window = appController.window()) window->bringToFront(activationToken);
    appController.filesDroppedOnDock(paths, std::move(whenSaved));
    if (connectTo) appController.connectToTypedAddress(*connectTo);
}

bool AppDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() && event->type() == QEvent::FileOpen) {
        const auto* open = static_cast<QFileOpenEvent*>(event);
        appController.filesDroppedOnDock({open->file()});
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantle
