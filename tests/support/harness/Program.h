#pragma once

// The program as the window's suites, the fault campaign and the benchmarks drive it in-process:
// a controller made and started as the program starts it, what its window shows found by object
// name, and a simulated phone with a store of its own.
#include "app/AppController.h"
#include "app/PhoneDataSource.h"
#include "app/QueueDataSource.h"
#include "app/notify/DesktopNotifier.h"
#include "app/phone/PhonePane.h"
#include "app/status/ConnectionStatus.h"
#include "app/upload/UploadFlow.h"
#include "net/NetTestSupport.h"
#include "support/harness/Files.h"
#include "ui/MRWindow.h"
#include "ui/SheetPresenter.h"

#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class QAction;
class QProgressBar;

namespace vantle {
class IDDragTableView;
class MRCoolTextView;
class MRSplitView;
class MRWindow;
class PhoneDataSource;
class ReportDialog;
} // namespace vantle

namespace vantle::test {

// How long a program's suite waits for what must come.
inline constexpr int kProgramWaitMs = 15'000;
inline const QString kConnectedStatus = QStringLiteral("Connected to Simulated iPhone.");

// The phone's address on loopback, as typed into the manual-connect sheet.
QString loopbackAddress(const PhoneProcess& phone);

// vantle-phone with a store and a record of its own; restarting it keeps both.
struct Phone {
    QTemporaryDir store;
    QTemporaryDir work;
    std::unique_ptr<PhoneProcess> process;

    explicit Phone(const QStringList& arguments = {}) { restart(arguments); }
    // Stops the running phone (by its process id) and starts another on the same store.
    // A "--store" among the arguments takes the place of the phone's own.
    void restart(QStringList arguments);
    void stop() { process.reset(); }
    bool running() const { return process && process->started(); }
    QString recordFile() const { return work.filePath(QStringLiteral("record.jsonl")); }
    QString path(const QString& relative) const { return store.filePath(relative); }
    QString address() const;
    QList<QJsonObject> received(QLatin1StringView type) const {
        return recordedRequests(recordFile(), QString(type));
    }
};

// A controller started as the program starts it, on the profile of the process.
struct Program {
    std::unique_ptr<AppController> controller = std::make_unique<AppController>();
    bool started = controller->awakeFromNib();

    // The controller's operations: connecting, the queue's intake, notifications, menus.
    AppController* operator->() const { return controller.get(); }

    // What the window shows, found by object name (none: the one of its kind).
    MRWindow* window() const;
    template <class T> T* find(const QString& objectName = {}) const {
        QObject* root = windowObject();
        return root ? root->findChild<T*>(objectName) : nullptr;
    }
    QString statusText() const;
    QString topHeading() const;
    QString phoneHeading() const;
    // The line beside the name of the item being uploaded; empty when none is.
    QString uploadDetails() const;
    bool plusButtonEnabled() const;
    QAction* action(const QString& name) const;
    SheetPresenter* presenter() const;
    SheetPresenter& sheets() const { return *presenter(); }
    IDDragTableView* queueTable() const;
    IDDragTableView* phoneTable() const;
    QueueDataSource* queueDataSource() const;
    QueueDataSource& queue() const { return *queueDataSource(); }
    PhoneDataSource* phoneDataSource() const;
    MRSplitView* splitView() const;
    MRCoolTextView* helpfulMessage() const;
    QProgressBar* downloadBar() const;
    ReportDialog* diagnosticsDialog() const;
    // An upload is under way: its bar shows.
    bool sending() const;

    // What only the controller knows so far.
    QStringList receivingFiles() const;
    QString currentUploadPath() const;
    MRTransferController& transfer() const;
    ClientServerController& clientServer() const;

    // Bounded waits; false when it did not come.
    bool statusBecomes(const QString& status, int timeoutMs = kProgramWaitMs) const;
    bool connectTo(const Phone& phone) const;
    bool showsSheet(const QString& title) const;
    bool queueHolds(int rows, int timeoutMs = kProgramWaitMs) const;
    // Files dropped on the queue, in the rows once the queue has taken them.
    bool add(const QStringList& paths, int timeoutMs = kProgramWaitMs) const;
    // Shows the window and waits until it is the active one.
    bool showInFront() const;

private:
    QObject* windowObject() const;
};

} // namespace vantle::test
