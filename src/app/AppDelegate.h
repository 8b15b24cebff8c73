#pragma once

#include "app/QueueHost.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

namespace vantle {

class AppController;

// The application's side of the controller: files opened with the program (a file manager's
// "Open With", a second start handing over its arguments) and the window raised for them.
class AppDelegate final : public QObject {
    Q_OBJECT

public:
    explicit AppDelegate(AppController& controller, QObject* parent = nullptr);

    // Files and a typed address handed to the program after it started; `whenSaved` once the
    // queue file holds the files. The window comes forward with `activationToken`, the one the
    // desktop gave the start that handed them over.
    void openFiles(const QStringList& paths, const std::optional<QString>& connectTo,
                   WhenSaved whenSaved = {}, const QString& activationToken = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppController& appController;
};

} // namespace vantle
