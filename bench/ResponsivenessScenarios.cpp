// The six moments the window must stay responsive through, each driven as a user drives it and
// bounded in time.
#include "Responsiveness.h"
#include "SilentResolver.h"
#include "support/harness/Program.h"
#include "support/harness/Watchdog.h"
#include "transfer/ProtocolKeys.h"
#include "ui/IDDragTableView.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <csignal>

namespace vantle::bench {
namespace {

constexpr int kConnectMs = 30'000;
constexpr int kSheetMs = 15'000;
constexpr int kUploadStartLimitMs = 120'000;
constexpr int kStopLimitMs = 30'000;
constexpr int kQueueEmptiesMs = 30'000;
constexpr char kSlowPhoneDelayMs[] = "2000";
constexpr int kSlowPhoneRows = 3;
constexpr int kSlowPhoneLimitMs = 60'000;
constexpr int kLookupWindowMs = 5000;
constexpr int kLookupEndMs = 30'000;
// Never in any zone: nobody but the benchmark's own silent name server is ever asked for it.
const char kSilentHost[] = "quiet-phone.invalid";
constexpr char kRemovalDelayMs[] = "5";
constexpr int kRemoveLimitMs = 120'000;
constexpr int kDownloadBaseLimitMs = 60'000;
constexpr int kDownloadMsPerMiB = 250;
constexpr qint64 kBytesPerMiB = 1024 * 1024;
constexpr char kQuitDelayMs[] = "5000";
constexpr int kQuitConnectMs = 60'000;
// Past its limit, a scenario's phone is stopped from another thread: a main thread held in a
// request to it is let go, and the scenario ends as a failure instead of a hang.
constexpr int kRescueAfterLimitMs = 10'000;

const QString kConnecting = QStringLiteral("Connecting...");

// Stops `phone` by its process id unless the scenario is over within `limitMs`.
class PhoneRescue {
public:
    PhoneRescue(const test::Phone& phone, int limitMs)
        : mWatchdog(limitMs + kRescueAfterLimitMs,
                    [pid = phone.process->processId()] { ::kill(pid_t(pid), SIGKILL); }) {}

private:
    test::Watchdog mWatchdog;
};

void emptyQueue(Bench& bench) {
    QueueDataSource& queue = bench.program.queue();
    waitFor(
        [&] {
            if (queue.isBusy()) return false;
            if (queue.rowCount() > 0) queue.removeAtIndex(0);
            return queue.rowCount() == 0;
        },
        kQueueEmptiesMs);
}

} // namespace

Outcome uploadStart(Bench& bench) {
    test::Program& program = bench.program;
    auto phone = startPhone({}, 1);
    if (!phone || !connectAndList(bench, *phone, 1, kConnectMs))
        return {std::nullopt, QStringLiteral("the phone could not be reached")};
    QString said;
    double stall = 0;
    {
        const PhoneRescue rescue(*phone, kUploadStartLimitMs + kStopLimitMs);
        const Measurement measured(bench.meter);
        program->doAddToQueue({bench.uploadFolder});
        const bool started = waitFor([&] { return program.sending(); }, kUploadStartLimitMs);
        const qint64 barMs = measured.elapsedMs();
        auto* stop = program.find<QToolButton>(QStringLiteral("stopButton"));
        const bool stopped =
            started && stop && waitFor([&] { return stop->isEnabled(); }, kStopLimitMs) &&
            (stop->click(), waitFor([&] { return !program.sending(); }, kStopLimitMs));
        const qint64 stopMs = measured.elapsedMs() - barMs;
        stall = measured.longestStallMs();
        said = !started ? QStringLiteral("the upload bar did not show in %1")
                              .arg(seconds(kUploadStartLimitMs))
               : stopped
                   ? QStringLiteral("the upload bar showed after %1, Stop ended it after %2")
                         .arg(seconds(barMs), seconds(stopMs))
                   : QStringLiteral("the upload bar showed after %1, Stop did not end it in %2")
                         .arg(seconds(barMs), seconds(kStopLimitMs));
    }
    // The folder leaves the queue: no later phone is sent it.
    emptyQueue(bench);
    letGo(bench, phone);
    return {stall, QStringLiteral("%1 files: ").arg(bench.sizes.uploadFiles) + said};
}

Outcome slowPhone(Bench& bench) {
    test::Program& program = bench.program;
    auto phone = startPhone({QStringLiteral("--delay-ms"), QLatin1String(kSlowPhoneDelayMs)},
                            kSlowPhoneRows);
    if (!phone) return {std::nullopt, QStringLiteral("the phone did not start")};
    QString said;
    double stall = 0;
    {
        const PhoneRescue rescue(*phone, kSlowPhoneLimitMs);
        const Measurement measured(bench.meter);
        program->connectToTypedAddress(phone->address());
        const bool connected = waitFor(
            [&] { return program.statusText() == test::kConnectedStatus; }, kSlowPhoneLimitMs);
        const qint64 connectedMs = measured.elapsedMs();
        const bool listed =
            connected &&
            waitFor([&] { return program.phoneDataSource()->rowCount() == kSlowPhoneRows; },
                    int(std::max<qint64>(0, kSlowPhoneLimitMs - connectedMs)));
        stall = measured.longestStallMs();
        said = !connected ? QStringLiteral("not connected in %1 (the status line says \"%2\")")
                                .arg(seconds(kSlowPhoneLimitMs), program.statusText())
               : listed ? QStringLiteral("connected after %1, its files listed after %2")
                              .arg(seconds(connectedMs), seconds(measured.elapsedMs()))
                        : QStringLiteral("connected after %1, its files not listed in %2")
                              .arg(seconds(connectedMs), seconds(kSlowPhoneLimitMs));
    }
    letGo(bench, phone);
    return {stall,
            QStringLiteral("every answer after %1 ms: ").arg(QLatin1String(kSlowPhoneDelayMs)) +
                said};
}

Outcome lookup(Bench& bench) {
    if (!bench.resolver)
        return {std::nullopt, QStringLiteral("skipped: no private namespace for a silent name "
                                             "server")};
    test::Program& program = bench.program;
    SilentResolver& resolver = *bench.resolver;
    resolver.silence();
    const int questionsBefore = resolver.questions();
    QString during;
    qint64 returnedMs = 0;
    double stall = 0;
    {
        // A main thread held in the lookup is let go from here once the window has passed.
        const test::Watchdog release(kLookupWindowMs, [&resolver] { resolver.release(); });
        const Measurement measured(bench.meter);
        program->connectToTypedAddress(QLatin1String(kSilentHost));
        returnedMs = measured.elapsedMs();
        waitFor([&] { return measured.elapsedMs() >= kLookupWindowMs; }, kLookupWindowMs);
        during = program.statusText();
        stall = measured.longestStallMs();
    }
    const int asked = resolver.questions() - questionsBefore;
    // Told now that the name does not exist, the lookup ends; its alert is taken note of.
    resolver.release();
    QElapsedTimer ending;
    ending.start();
    bool alerted = false;
    const bool ended = waitFor(
        [&] {
            if (program.sheets().currentTitle() == QStringLiteral("Unable To Connect"))
                alerted = program.sheets().answer(SheetPresenter::Role::Accept);
            return program.statusText() != kConnecting && !program.sheets().current();
        },
        kLookupEndMs);
    const QString end =
        ended ? QStringLiteral("once answered \"no such name\" it ended after %1%2")
                    .arg(seconds(ending.elapsed()),
                         alerted ? QStringLiteral(" with \"Unable To Connect\"") : QString())
              : QStringLiteral("once answered \"no such name\" it had not ended in %1")
                    .arg(seconds(kLookupEndMs));
    return {stall, QStringLiteral("%1 question(s) held unanswered for %2; the connect call "
                                  "returned after %3; the status line said \"%4\"; %5")
                       .arg(asked)
                       .arg(seconds(kLookupWindowMs), seconds(returnedMs), during, end)};
}

Outcome removeRows(Bench& bench) {
    test::Program& program = bench.program;
    const int rows = bench.sizes.phoneRows;
    auto phone = startPhone({QStringLiteral("--delay-ms"), QLatin1String(kRemovalDelayMs)}, rows);
    if (!phone || !connectAndList(bench, *phone, rows, kConnectMs))
        return {std::nullopt, QStringLiteral("the phone's %1 files were not listed").arg(rows)};
    QString said;
    double stall = 0;
    {
        const PhoneRescue rescue(*phone, kSheetMs + kRemoveLimitMs);
        IDDragTableView* table = program.phoneTable();
        const Measurement measured(bench.meter);
        table->setFocus();
        table->selectAll();
        QTest::keyClick(table, Qt::Key_Delete);
        const QString title = QStringLiteral("Remove %1 items from the iPhone?").arg(rows);
        const bool asked =
            waitFor([&] { return program.sheets().currentTitle() == title; }, kSheetMs);
        const bool answered = asked && program.sheets().answer(SheetPresenter::Role::Remove);
        const bool gone =
            answered &&
            waitFor([&] { return program.phoneDataSource()->rowCount() == 0; }, kRemoveLimitMs);
        stall = measured.longestStallMs();
        const auto left = QDir(phone->store.path()).entryList(QDir::Files).size();
        said = !answered ? QStringLiteral("no sheet \"%1\" to answer").arg(title)
               : gone    ? QStringLiteral("the rows were gone after %1 (%2 files left on the "
                                             "phone)")
                            .arg(seconds(measured.elapsedMs()))
                            .arg(left)
                      : QStringLiteral("%1 rows still there after %2")
                            .arg(program.phoneDataSource()->rowCount())
                            .arg(seconds(kRemoveLimitMs));
    }
    letGo(bench, phone);
    return {stall, QStringLiteral("%1 rows, every answer after %2 ms: ")
                           .arg(rows)
                           .arg(QLatin1String(kRemovalDelayMs)) +
                       said};
}

Outcome downloadOtherFileSystem(Bench& bench) {
    if (bench.otherFileSystem.isEmpty())
        return {std::nullopt, QStringLiteral("skipped: ") + bench.otherFileSystemNote};
    test::Program& program = bench.program;
    const QString name = QStringLiteral("big.bin");
    const qint64 bytes = qint64(bench.sizes.downloadMiB) * kBytesPerMiB;
    auto phone = startPhone({}, 0);
    if (!phone) return {std::nullopt, QStringLiteral("the phone did not start")};
    QFile big(phone->path(name));
    if (!big.open(QIODevice::WriteOnly) || !big.resize(bytes))
        return {std::nullopt, QStringLiteral("no room for the phone's file")};
    big.close();
    if (!connectAndList(bench, *phone, 1, kConnectMs))
        return {std::nullopt, QStringLiteral("the phone's file was not listed")};
    const QString arrived = bench.otherFileSystem + QLatin1Char('/') + name;
    const int limitMs = kDownloadBaseLimitMs + bench.sizes.downloadMiB * kDownloadMsPerMiB;
    QString said;
    double stall = 0;
    {
        const PhoneRescue rescue(*phone, kSheetMs + limitMs);
        IDDragTableView* table = program.phoneTable();
        const Measurement measured(bench.meter);
        table->setCurrentIndex(table->model()->index(0, 0));
        program.action(QStringLiteral("downloadTo:"))->trigger();
        const bool asked = waitFor(
            [&] { return program.sheets().currentTitle() == QStringLiteral("Download To"); },
            kSheetMs);
        auto* dialog = qobject_cast<QFileDialog*>(program.sheets().current());
        if (asked && dialog) {
            dialog->setDirectory(bench.otherFileSystem);
            dialog->selectFile(bench.otherFileSystem);
            static_cast<QDialog*>(dialog)->accept();
        }
        const bool whole =
            asked && dialog &&
            waitFor(
                [&] {
                    return QFileInfo(arrived).size() == bytes && program.downloadBar()->isHidden();
                },
                limitMs);
        stall = measured.longestStallMs();
        said = !dialog ? QStringLiteral("no \"Download To\" sheet")
               : whole ? QStringLiteral("whole at its destination after %1")
                             .arg(seconds(measured.elapsedMs()))
                       : QStringLiteral("%1 of %2 bytes at its destination after %3")
                             .arg(QFileInfo(arrived).size())
                             .arg(bytes)
                             .arg(seconds(limitMs));
    }
    QFile::remove(arrived);
    letGo(bench, phone);
    return {stall, QStringLiteral("%1 MiB to %2: ")
                           .arg(bench.sizes.downloadMiB)
                           .arg(bench.otherFileSystemNote) +
                       said};
}

Outcome quitInFlight(Bench& bench) {
    test::Program& program = bench.program;
    auto phone = startPhone({QStringLiteral("--delay-ms"), QLatin1String(kQuitDelayMs)}, 1);
    if (!phone) return {std::nullopt, QStringLiteral("the phone did not start")};
    bool inFlight = false;
    qint64 quitMs = 0;
    double stall = 0;
    {
        const PhoneRescue rescue(*phone, kQuitConnectMs);
        program->connectToTypedAddress(phone->address());
        // The listing has been asked for and its answer has not come.
        inFlight = waitFor(
            [&] {
                return program.statusText() == test::kConnectedStatus &&
                       !phone->received(requests::kDirectoryList).isEmpty() &&
                       program.phoneDataSource()->rowCount() == 0;
            },
            kQuitConnectMs);
        const Measurement measured(bench.meter);
        // Quit, then what the program does once its event loop has returned.
        program.action(QStringLiteral("terminate:"))->trigger();
        program->shutDown();
        quitMs = measured.elapsedMs();
        stall = std::max(measured.longestStallMs(), double(quitMs));
    }
    phone.reset();
    return {stall, QStringLiteral("every answer after %1 ms: quit took %2 %3")
                       .arg(QLatin1String(kQuitDelayMs))
                       .arg(seconds(quitMs),
                            inFlight ? QStringLiteral("with the listing in flight")
                                     : QStringLiteral("(no request was seen in flight)"))};
}

} // namespace vantle::bench
