#include "ui/ReportDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantle {
namespace {

constexpr QSize kInitialSize{620, 440};

} // namespace

ReportDialog::ReportDialog(const QString& title, QWidget* parent)
    : QDialog(parent), mStatus(new QLabel(this)), mText(new QPlainTextEdit(this)),
      mCopy(new QPushButton(tr("Copy"), this)) {
    setWindowTitle(title);
    resize(kInitialSize);
    auto* layout = new QVBoxLayout(this);
    mStatus->setTextFormat(Qt::PlainText);
    mStatus->setWordWrap(true);
    layout->addWidget(mStatus);
    mText->setReadOnly(true);
    mText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    mText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    layout->addWidget(mText, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(mCopy, QDialogButtonBox::ActionRole);
    connect(mCopy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(report()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void ReportDialog::setStatus(const QString& status) {
    mStatus->setText(status);
}

QString ReportDialog::status() const {
    return mStatus->text();
}

void ReportDialog::setReport(const QString& text) {
    mText->setPlainText(text);
}

void ReportDialog::appendReport(const QString& text) {
    mText->appendPlainText(text);
}

QString ReportDialog::report() const {
    return mText->toPlainText();
}

} // namespace vantle
