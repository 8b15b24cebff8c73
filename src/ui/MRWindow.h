#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <optional>

namespace vantle {

// The program's one window: it comes back where the user left it, and says when it is closed
// (closing it quits the program, unless the program is to keep running without it).
class MRWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MRWindow(QWidget* parent = nullptr);

    // Puts the window where it was last closed; false (and the default size) when nothing was
    // saved or the saved value is unusable. Either way it fits the screen's free area.
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
    // Where the window's place comes from: the desktop's choice, or the saved one.
    enum class Placement { ByDesktop, Placed };
    // Shrinks the window to its screen's available area and, when it was placed, moves it
    // inside.
    void fitIntoScreen(Placement placement);

    // Set by a restore: the first show fits the window again, frame and all.
    std::optional<Placement> mFitWhenShown;
    std::function<bool()> mKeepsRunningOnClose;
    QList<QPointer<QWidget>> mHiddenDialogs;
    QString mLastActivationToken;
};

} // namespace vantle
