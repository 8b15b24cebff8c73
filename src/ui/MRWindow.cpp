#include "ui/MRWindow.h"

#include "platform/Settings.h"
#include "platform/WindowActivation.h"
#include "support/ParoxLog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <utility>

namespace vantle {

namespace {

// A first start: tall enough for both panes and their headings.
constexpr int kDefaultWidth = 460;
constexpr int kDefaultHeight = 600;

} // namespace

MRWindow::MRWindow(QWidget* parent) : QMainWindow(parent) {}

bool MRWindow::restoreSavedGeometry() {
    const std::optional<QByteArray> saved = Defaults::get(settings::kWindowGeometry);
    if (saved && !saved->isEmpty() && restoreGeometry(*saved)) return true;
    resize(kDefaultWidth, kDefaultHeight);
    return false;
}

void MRWindow::saveGeometryToSettings() const {
    Defaults::set(settings::kWindowGeometry, saveGeometry());
}

void MRWindow::closeEvent(QCloseEvent* event) {
    if (mKeepsRunningOnClose && mKeepsRunningOnClose()) {
        event->ignore();
        hideWithDialogs();
        emit hiddenOnClose();
        return;
    }
    saveGeometryToSettings();
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

void MRWindow::hideWithDialogs() {
    if (!isVisible()) return;
    saveGeometryToSettings();
    // A dialog is a window of its own: it would stay on the screen without its window.
    for (QDialog* dialog : findChildren<QDialog*>()) {
        if (!dialog->isVisible()) continue;
        mHiddenDialogs.append(dialog);
        dialog->hide();
    }
    hide();
}

void MRWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // What was asked before the window hid is still waiting for its answer.
    for (const QPointer<QWidget>& dialog : std::exchange(mHiddenDialogs, {}))
        if (dialog) dialog->show();
}

bool MRWindow::isFrontmost() const {
    if (!isVisible() || isMinimized()) return false;
    // A sheet or dialog of the window in front counts as the window.
    for (const QWidget* shown = QApplication::activeWindow(); shown; shown = shown->parentWidget())
        if (shown == this) return true;
    return false;
}

void MRWindow::bringToFront(const QString& activationToken) {
    mLastActivationToken = activationToken;
    ParoxLog("Raising the window with activation token %@",
             activationToken.isEmpty() ? QStringLiteral("(none)") : activationToken);
    if (!activationToken.isEmpty()) useActivationToken(activationToken);
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

} // namespace vantle
