#include "app/AppDelegate.h"

#include "app/AppController.h"
#include "ui/MRWindow.h"

#include <QCoreApplication>
#include <QFileOpenEvent>
#include <QSystemTrayIcon>

namespace vantle {

AppDelegate::AppDelegate(AppController& controller, QObject* parent)
    : QObject(parent), appController(controller) {
    if (auto* app = QCoreApplication::instance()) app->installEventFilter(this);
}

void AppDelegate::showWindowAtStart(WindowRequest request) {
    MRWindow* window = appController.window();
    if (!window) return;
    if (request == WindowRequest::Show)
        window->show();
    else if (!QSystemTrayIcon::isSystemTrayAvailable())
        window->showMinimized();
}

void AppDelegate::openFiles(const HandoverMessage& message, WhenSaved whenSaved) {
    if (MRWindow* window = appController.window(); window && message.window == WindowRequest::Show)
        window->bringToFront(message.activationToken.value_or(QString()));
    appController.filesDroppedOnDock(message.files, std::move(whenSaved));
    if (message.connect) appController.connectToTypedAddress(*message.connect);
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
