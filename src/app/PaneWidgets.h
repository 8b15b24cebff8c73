#pragma once

#include <QString>

class QLabel;
class QProgressBar;
class QWidget;

namespace vantle {

// The space around the window's panes, in pixels.
inline constexpr int kPaneMargin = 6;

// A pane's bold heading, shown as plain text.
QLabel* paneHeading(const QString& text, QWidget* parent);
// A hidden bar without text, for a transfer's progress.
QProgressBar* paneProgressBar(QWidget* parent);

} // namespace vantle
