#include "support/harness/Program.h"

#include "app/PhoneDataSource.h"
#include "app/QueueDataSource.h"
#include "app/phone/PhonePane.h"
#include "app/upload/UploadFlow.h"
#include "ui/IDDragTableView.h"
#include "ui/MRCoolTextView.h"
#include "ui/MRSplitView.h"
#include "ui/MRWindow.h"
#include "ui/ReportDialog.h"
#include "ui/SheetPresenter.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>

namespace vantle::test {
namespace {

QString textOf(const QLabel* label) {
    return label ? label->text() : QString();
}

} // namespace

void Phone::restart(QStringList arguments) {
    process.reset();
    if (!arguments.contains(QStringLiteral("--store")))
        arguments << QStringLiteral("--store") << store.path();
    arguments << QStringLiteral("--record") << recordFile() << QStringLiteral("--quiet");
    process = std::make_unique<PhoneProcess>(arguments);
}

QString loopbackAddress(const PhoneProcess& phone) {
    return QStringLiteral("127.0.0.1:%1").arg(phone.port());
}

QString Phone::address() const {
    return loopbackAddress(*process);
}

// The one way to the window: everything else is found below it.
MRWindow* Program::window() const {
    return controller ? controller->window() : nullptr;
}

QObject* Program::windowObject() const {
    return window();
}

QString Program::statusText() const {
    return textOf(find<QLabel>(QStringLiteral("statusLine")));
}

QString Program::topHeading() const {
    return textOf(find<QLabel>(QStringLiteral("topHeading")));
}

QString Program::phoneHeading() const {
    return textOf(find<QLabel>(QStringLiteral("phoneHeading")));
}

QString Program::uploadDetails() const {
    const auto* label = find<QLabel>(QStringLiteral("uploadDetails"));
    return label && !label->isHidden() ? label->text() : QString();
}

bool Program::plusButtonEnabled() const {
    const auto* button = find<QToolButton>(QStringLiteral("plusButton"));
    return button && button->isEnabled();
}

QAction* Program::action(const QString& name) const {
    return find<QAction>(name);
}

SheetPresenter* Program::presenter() const {
    // A program that could not start has no window; its one alert hangs on no parent.
    if (auto* sheets = find<SheetPresenter>()) return sheets;
    return controller->presenter();
}

IDDragTableView* Program::queueTable() const {
    return find<IDDragTableView>(QStringLiteral("queueTable"));
}

IDDragTableView* Program::phoneTable() const {
    return find<IDDragTableView>(QStringLiteral("phoneTable"));
}

QueueDataSource* Program::queueDataSource() const {
    const auto* table = queueTable();
    return table ? qobject_cast<QueueDataSource*>(table->model()) : nullptr;
}

PhoneDataSource* Program::phoneDataSource() const {
    const auto* table = phoneTable();
    return table ? qobject_cast<PhoneDataSource*>(table->model()) : nullptr;
}

MRSplitView* Program::splitView() const {
    return find<MRSplitView>(QStringLiteral("splitView"));
}

MRCoolTextView* Program::helpfulMessage() const {
    return find<MRCoolTextView>(QStringLiteral("helpfulMessage"));
}

QProgressBar* Program::downloadBar() const {
    return find<QProgressBar>(QStringLiteral("downloadBar"));
}

ReportDialog* Program::diagnosticsDialog() const {
    return find<ReportDialog>(QStringLiteral("diagnosticsDialog"));
}

bool Program::sending() const {
    const auto* bar = find<QProgressBar>(QStringLiteral("uploadBar"));
    return bar && !bar->isHidden();
}

QStringList Program::receivingFiles() const {
    return controller->phonePane().receivingFiles();
}

QString Program::currentUploadPath() const {
    return controller->upload().currentUploadPath();
}

MRTransferController& Program::transfer() const {
    return controller->transfer();
}

ClientServerController& Program::clientServer() const {
    return controller->clientServer();
}

bool Program::statusBecomes(const QString& status, int timeoutMs) const {
    return QTest::qWaitFor([&] { return statusText() == status; }, timeoutMs);
}

bool Program::connectTo(const Phone& phone) const {
    controller->connectToTypedAddress(phone.address());
    return statusBecomes(kConnectedStatus);
}

bool Program::showsSheet(const QString& title) const {
    return QTest::qWaitFor([&] { return sheets().currentTitle() == title; }, kProgramWaitMs);
}

bool Program::queueHolds(int rows, int timeoutMs) const {
    return QTest::qWaitFor([&] { return !queue().isBusy() && queue().rowCount() == rows; },
                           timeoutMs);
}

bool Program::add(const QStringList& paths, int timeoutMs) const {
    const int before = queue().rowCount();
    controller->doAddToQueue(paths);
    return queueHolds(before + int(paths.size()), timeoutMs);
}

bool Program::showInFront() const {
    window()->show();
    return QTest::qWaitForWindowActive(window());
}

} // namespace vantle::test
