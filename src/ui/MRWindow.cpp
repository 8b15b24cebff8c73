#include "ui/MRWindow.h"

#include "platform/Settings.h"

#include <QCloseEvent>

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
    saveGeometryToSettings();
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

} // namespace vantle
