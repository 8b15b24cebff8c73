#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace vantle {

// The manual-connect sheet: one address field ("HOST" or "HOST:PORT") and its buttons. Return in
// the field is the connect button.
class DirectConnectPanel final : public QDialog {
    Q_OBJECT

public:
    explicit DirectConnectPanel(QWidget* parent = nullptr);

    // Shows `address` selected, so typing replaces it.
    void setAddress(const QString& address);
    QString address() const;
    QLineEdit* addressField() const { return directConnectIP; }
    QPushButton* connectButton() const { return directConnectIPOKButton; }

private:
    QLineEdit* directConnectIP;
    QPushButton* directConnectIPOKButton;
};

} // namespace vantle
