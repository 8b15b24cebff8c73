#include "ui/MRWindow.h"

#include "platform/Settings.h"
#include "platform/WindowActivation.h"
#include "support/ParoxLog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QScreen>
#include <utility>

namespace vantle {

namespace {

// A first start: both panes with several rows each, and still under a 1366 x 768 screen's
// panel and title bar.
constexpr int kDefaultWidth = 520;
constexpr int kDefaultHeight = 640;

} // namespace

MRWindow::MRWindow(QWidget* parent) : QMainWindow(parent) {}

bool MRWindow::restoreSavedGeometry() {
    const std::optional<QByteArray> saved = Defaults::get(settings::kWindowGeometry);
    const bool restored = saved && !saved->isEmpty() && restoreGeometry(*saved);
    if (!restored) resize(kDefaultWidth, kDefaultHeight);
    // A first start is placed by the desktop; a saved place is kept where it still fits. Again
    // once shown, when the frame is known.
    mFitWhenShown = restored ? Placement::Placed : Placement::ByDesktop;
    fitIntoScreen(*mFitWhenShown);
    return restored;
}

void MRWindow::fitIntoScreen(Placement placement) {
    QRect frame = frameGeometry();
    const QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen) screen = this->screen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    // The frame is known once the window is shown; until then it counts as none.
    const QSize frameExtra = frame.size() - size();
    const QSize fitting = size().boundedTo(available.size() - frameExtra);
    if (fitting != size()) {
        resize(fitting);
        frame.setSize(fitting + frameExtra);
    }
    if (placement == Placement::ByDesktop || available.contains(frame)) return;
    const QPoint corner(
        qBound(available.left(), frame.left(), available.right() + 1 - frame.width()),
        qBound(available.top(), frame.top(), available.bottom() + 1 - frame.height()));
    move(corner);
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
    if (const std::optional<Placement> fit = std::exchange(mFitWhenShown, std::nullopt))
        fitIntoScreen(*fit);
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
