#include "ui/DirectConnectPanel.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantle {
namespace {

constexpr int kFieldMinimumWidth = 260;

} // namespace

DirectConnectPanel::DirectConnectPanel(QWidget* parent)
    : QDialog(parent), directConnectIP(new QLineEdit(this)),
      directConnectIPOKButton(new QPushButton(tr("Connect"), this)) {
    setWindowTitle(tr("Manual Connect"));
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(tr("Network address of the iPhone (address or "
                                 "address:port):"),
                              this);
    prompt->setTextFormat(Qt::PlainText);
    prompt->setBuddy(directConnectIP);
    layout->addWidget(prompt);
    directConnectIP->setMinimumWidth(kFieldMinimumWidth);
    directConnectIP->setPlaceholderText(QStringLiteral("192.168.1.20"));
    layout->addWidget(directConnectIP);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Cancel);
    buttons->addButton(directConnectIPOKButton, QDialogButtonBox::AcceptRole);
    directConnectIPOKButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    directConnectIP->setFocus();
}

void DirectConnectPanel::setAddress(const QString& address) {
    directConnectIP->setText(address);
    directConnectIP->selectAll();
}

QString DirectConnectPanel::address() const {
    return directConnectIP->text();
}

} // namespace vantle
