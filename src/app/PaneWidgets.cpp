#include "app/PaneWidgets.h"

#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>

namespace vantle {
namespace {

constexpr int kHeadingPointSizeDelta = 1;

} // namespace

QLabel* paneHeading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + kHeadingPointSizeDelta);
    label->setFont(font);
    return label;
}

void nameAfterHeading(const QLabel* heading) {
    if (heading && heading->buddy()) heading->buddy()->setAccessibleName(heading->text());
}

QProgressBar* paneProgressBar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setTextVisible(false);
    bar->setRange(0, 1);
    bar->setValue(0);
    bar->setHidden(true);
    return bar;
}

QFileDialog* folderDialog(QWidget* parent, const QString& title, const QString& acceptTitle) {
    auto* dialog = new QFileDialog(parent, title);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setLabelText(QFileDialog::Accept, acceptTitle);
    return dialog;
}

} // namespace vantle
