#pragma once

#include "app/QueueHost.h"
#include "platform/HandoverMessage.h"

#include <QObject>

namespace vantle {

class AppController;

// The application's side of the controller: files opened with the program (a file manager's
// "Open With", a second start handing over its arguments) and the window raised for them.
class AppDelegate final : public QObject {
    Q_OBJECT

public:
    explicit AppDelegate(AppController& controller, QObject* parent = nullptr);

    // The window as the program starts: shown, or for a start in the background in the tray
    // when the desktop has one (the tray's icon leads to it), minimized otherwise.
    void showWindowAtStart(WindowRequest request);
    // Files and a typed address handed to the program (at its start or by a later one), the
    // window brought forward unless the start was in the background; `whenSaved` once the queue
    // file holds the files.
    void openFiles(const HandoverMessage& message, WhenSaved whenSaved = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppController& appController;
};

} // namespace vantle
