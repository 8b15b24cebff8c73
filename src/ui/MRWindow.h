#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <functional>

namespace vantle {

// The program's one window: it comes back where the user left it, and says when it is closed
// (closing it quits the program, unless the program is to keep running without it).
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
    // Asked as the window is closed: true hides it instead (hideWithDialogs) and the program
    // keeps running. None, or false, closes it.
    void setKeepsRunningOnClose(std::function<bool()> keepsRunning) {
        mKeepsRunningOnClose = std::move(keepsRunning);
    }
    // Hides the window and its open dialogs; they come back, unanswered, when it is shown.
    void hideWithDialogs();

signals:
    // Closed: the program ends.
    void closed();
    // Closed while the program keeps running: the window and its dialogs are hidden.
    void hiddenOnClose();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    std::function<bool()> mKeepsRunningOnClose;
    QList<QPointer<QWidget>> mHiddenDialogs;
    QString mLastActivationToken;
};

} // namespace vantle
