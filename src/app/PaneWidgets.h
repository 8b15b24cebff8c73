#pragma once

#include <QString>

class QFileDialog;
class QLabel;
class QProgressBar;
class QWidget;

namespace vantle {

// The space around the window's panes, in pixels.
inline constexpr int kPaneMargin = 6;

// A pane's bold heading, shown as plain text.
QLabel* paneHeading(const QString& text, QWidget* parent);
// The widget the heading is the label of (QLabel::setBuddy) takes the heading's text as its
// accessible name; after every change of the heading.
void nameAfterHeading(const QLabel* heading);
// A hidden bar without text, for a transfer's progress.
QProgressBar* paneProgressBar(QWidget* parent);
// A dialog that picks one folder (Qt's own, the same on every desktop), its accept button titled
// `acceptTitle`; for SheetPresenter::showSheet.
QFileDialog* folderDialog(QWidget* parent, const QString& title, const QString& acceptTitle);

} // namespace vantle
