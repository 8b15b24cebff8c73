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
    // Shows, restores, raises and activates the window.
    void bringToFront();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace vantle
