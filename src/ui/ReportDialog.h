#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vantle {

// A plain-text report that grows while it is made, with a Copy button for a support request.
class ReportDialog final : public QDialog {
    Q_OBJECT

public:
    explicit ReportDialog(const QString& title, QWidget* parent = nullptr);

    // The line over the report: what runs now, or the verdict.
    void setStatus(const QString& status);
    void setReport(const QString& text);
    void appendReport(const QString& text);
    QString report() const;
    QString status() const;
    QPushButton* copyButton() const { return mCopy; }

private:
    QLabel* mStatus;
    QPlainTextEdit* mText;
    QPushButton* mCopy;
};

} // namespace vantle
