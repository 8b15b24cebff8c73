#pragma once

// The program as the window's suites and the fault campaign drive it in-process: a controller made
// and started as the program starts it, and a simulated phone with a store of its own.
#include "app/AppController.h"
#include "app/QueueDataSource.h"
#include "net/NetTestSupport.h"
#include "ui/MRWindow.h"
#include "ui/SheetPresenter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QMap>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace vantle::test {

// How long a program's suite waits for what must come.
inline constexpr int kProgramWaitMs = 15'000;
inline const QString kConnectedStatus = QStringLiteral("Connected to Simulated iPhone.");

inline bool writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every file below `root`, relative path → contents.
inline QMap<QString, QByteArray> filesBelow(const QString& root) {
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(root).relativeFilePath(path), readFile(path));
    }
    return files;
}

// A simulated phone with a store and a record of its own; restarting it keeps both.
struct Phone {
    QTemporaryDir store;
    QTemporaryDir work;
    std::unique_ptr<PhoneProcess> process;

    explicit Phone(const QStringList& arguments = {}) { restart(arguments); }
    // Stops the running phone (by its process id) and starts another on the same store.
    // A "--store" among the arguments takes the place of the phone's own.
    void restart(QStringList arguments) {
        process.reset();
        if (!arguments.contains(QStringLiteral("--store")))
            arguments << QStringLiteral("--store") << store.path();
        arguments << QStringLiteral("--record") << recordFile() << QStringLiteral("--quiet");
        process = std::make_unique<PhoneProcess>(arguments);
    }
    void stop() { process.reset(); }
    bool running() const { return process && process->started(); }
    QString recordFile() const { return work.filePath(QStringLiteral("record.jsonl")); }
    QString path(const QString& relative) const { return store.filePath(relative); }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(process->port()); }
    QList<QJsonObject> received(QLatin1StringView type) const {
        return recordedRequests(recordFile(), QString(type));
    }
};

// A controller started as the program starts it, on the profile of the process.
struct Program {
    std::unique_ptr<AppController> controller = std::make_unique<AppController>();
    bool started = controller->awakeFromNib();

    AppController* operator->() const { return controller.get(); }
    SheetPresenter& sheets() const { return *controller->presenter(); }
    QueueDataSource& queue() const { return *controller->queueDataSource(); }
    template <class T> T* widget(const char* name) const {
        return controller->window()->findChild<T*>(QLatin1String(name));
    }
    bool connectTo(const Phone& phone) const {
        controller->connectToTypedAddress(phone.address());
        return QTest::qWaitFor([&] { return controller->statusText() == kConnectedStatus; },
                               kProgramWaitMs);
    }
    bool showsSheet(const QString& title) const {
        return QTest::qWaitFor([&] { return sheets().currentTitle() == title; }, kProgramWaitMs);
    }
    bool queueHolds(int rows) const {
        return QTest::qWaitFor([&] { return !queue().isBusy() && queue().rowCount() == rows; },
                               kProgramWaitMs);
    }
    // Files dropped on the queue, in the rows once the queue has taken them.
    bool add(const QStringList& paths) const {
        const int before = queue().rowCount();
        controller->doAddToQueue(paths);
        return queueHolds(before + int(paths.size()));
    }
    bool sending() const {
        const auto* bar = widget<QProgressBar>("uploadBar");
        return bar && !bar->isHidden();
    }
};

} // namespace vantle::test
