#pragma once

#include <QMainWindow>

namespace vantle {

// The program's one window: it comes back where the user left it, and says when it is closed
// (closing it quits the program).
class MRWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MRWindow(QWidget* parent = nullptr);

    // Puts the window where it was last closed; false (and the default size) when nothing was
    // saved or the saved value is unusable.
    bool restoreSavedGeometry();
    void saveGeometryToSettings() const;
    // The window, or a sheet or dialog of it, is the one in front.
    bool isFrontmost() const;
    // Shows, restores, raises and activates the window; `activationToken` is the desktop's
    // permission to take the focus, handed to this program with the request (a later start's,
    // a notification's), empty when none came.
    void bringToFront(const QString& activationToken = {});
    // The token the last raise was given (for tests).
    QString lastActivationToken() const { return mLastActivationToken; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString mLastActivationToken;
};

} // namespace vantle
