#pragma once

#include "app/campaign/Downloads.h"
#include "app/campaign/Invariants.h"
#include "app/campaign/PhoneControl.h"
#include "app/campaign/UserModel.h"
#include "app/campaign/Workspace.h"
#include "support/harness/Program.h"

#include <QStringList>
#include <QTest>
#include <QTimer>
#include <memory>
#include <random>

namespace vantle::campaign {

class Watchdog;

// Lets the program work until `condition` holds or `ms` have passed; whether it held.
template <class Condition> bool waitFor(Condition condition, int ms) {
    return QTest::qWaitFor(condition, ms);
}

// Everything one seeded run works with: its random source, the user's files, the phone, the
// program in this process, what the user did, and what was found.
struct RunContext {
    RunContext(std::uint32_t runSeed, Watchdog& runWatchdog);
    ~RunContext();

    std::uint32_t seed;
    std::mt19937 random;
    Watchdog& watchdog;
    Workspace work;
    PhoneControl phone;
    UserModel model;
    DownloadLedger downloads;
    // Looks at the download under way whenever the program works.
    QTimer downloadWatch;
    std::unique_ptr<test::Program> program;
    QStringList steps;
    QList<Violation> violations;
    // Sheets' texts and the real program's output; the in-process logs are read at the end.
    QString said;
    QStringList logFiles;
    int nextItem = 0;
    qint64 longestStepMs = 0;
    qint64 longestQuitMs = 0;

    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    bool chance(int percent) { return between(0, 99) < percent; }
    void found(const QList<Violation>& more);

    // A controller made and started as the program starts it, on the profile's queue.
    void startProgram();
    // shutDown and destroy, timed and watched; then I3 on the queue file. No-op without one.
    void quitProgram(const QString& why);
    // Connects to the phone by its typed address; waits (bounded) for the grant or a sheet.
    void connectProgram();
    bool connected() const;
    // The queue's rows, oldest first.
    QStringList rows() const;
    QString queueFile() const;
    // Everything the program said: sheets, alerts, its logs.
    QString everythingSaid() const;

private:
    // The process's temporary folder before the run took one of its own; null when unset.
    QByteArray mOuterTemporary;
};

} // namespace vantle::campaign
