#include "app/campaign/RunContext.h"

#include "app/MorrowFileQueue.h"
#include "app/campaign/Watchdog.h"
#include "platform/Defaults.h"
#include "platform/Settings.h"
#include "support/ParoxLogger.h"
#include "support/harness/AppProcess.h"
#include "transfer/TransferTimeouts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

namespace vantle::campaign {
namespace {

// How long a connection, or its refusal, may take to show.
constexpr int kConnectMs = 4'000;
constexpr int kDownloadWatchMs = 100;
constexpr char kTemporaryVariable[] = "TMPDIR";
// A phone that stops sending mid-item is given up on soon.
constexpr char kShortDownloadSilenceMs[] = "1500";

} // namespace

RunContext::RunContext(std::uint32_t runSeed, Watchdog& runWatchdog)
    : seed(runSeed), random(runSeed), watchdog(runWatchdog),
      mOuterTemporary(qEnvironmentVariableIsSet(kTemporaryVariable) ? qgetenv(kTemporaryVariable)
                                                                    : QByteArray()) {
    test::startFromCleanSettings();
    // The program's own words about what it did go to a log file that the checks read.
    Defaults::setBool(QString(settings::kLogToFile.key), true);
    Defaults::sync();
    qputenv(kDownloadSilenceVariable, kShortDownloadSilenceMs);
    // The downloads' temporary area lies in the temporary folder, which every process of the
    // user shares: the run's own keeps what others leave there out of its checks.
    const QString temporary = work.root() + QStringLiteral("/temporary");
    QDir().mkpath(temporary);
    qputenv(kTemporaryVariable, QFile::encodeName(temporary));
    downloadWatch.setInterval(kDownloadWatchMs);
    QObject::connect(&downloadWatch, &QTimer::timeout, [this] { watchDownloads(*this); });
    downloadWatch.start();
}

RunContext::~RunContext() {
    quitProgram(QStringLiteral("the end of the run"));
    if (mOuterTemporary.isNull())
        qunsetenv(kTemporaryVariable);
    else
        qputenv(kTemporaryVariable, mOuterTemporary);
}

void RunContext::found(const QList<Violation>& more) {
    for (const Violation& violation : more) {
        const bool known = std::any_of(violations.begin(), violations.end(), [&](const auto& v) {
            return v.invariant == violation.invariant && v.text == violation.text;
        });
        if (!known) violations << violation;
    }
}

void RunContext::startProgram() {
    program = std::make_unique<test::Program>();
    // Nothing of a run opens or reveals anything on the desktop.
    const auto nothing = [](const QString&) { return true; };
    program->controller->phonePane().setDesktopOpener({nothing, nothing});
    QObject::connect(&program->sheets(), &SheetPresenter::presented, program->controller.get(),
                     [this](const QString& title, const QString& text) {
                         said += title + QStringLiteral(": ") + text + QLatin1Char('\n');
                     });
    if (const auto logger = ParoxLogger::defaultLogger()) {
        // The log file keeps every line; the campaign's own output stays readable.
        logger->setLogToStdOut(qEnvironmentVariableIsSet("VANTLE_CAMPAIGN_LOG"));
        logFiles << logger->logFilePath();
    }
    // The queue file is read in the background: its rows are in once the model is idle.
    waitFor([&] { return !program->queue().isBusy(); }, test::kProgramWaitMs);
}

void RunContext::quitProgram(const QString& why) {
    if (!program) return;
    const QStringList before = rows();
    watchdog.arm(QStringLiteral("quit at ") + why);
    QElapsedTimer clock;
    clock.start();
    program->controller->shutDown();
    program.reset();
    downloads.connectionGone();
    const qint64 took = clock.elapsed();
    watchdog.disarm();
    longestQuitMs = std::max(longestQuitMs, took);
    steps << QStringLiteral("   quit took %1 ms").arg(took);
    model.answerForOthersEnds();
    found(checkQueueFile(model, phone, before, queueFile(), QStringLiteral("quit at ") + why));
}

bool RunContext::connected() const {
    return program && program->statusText() == test::kConnectedStatus;
}

void RunContext::connectProgram() {
    // The watch may not have seen the connection go: a download of it ended with it.
    if (!connected()) downloads.connectionGone();
    if (!program || !phone.running()) return;
    program->controller->connectToTypedAddress(phone.address());
    waitFor([&] { return connected() || program->sheets().current(); }, kConnectMs);
}

QStringList RunContext::rows() const {
    QStringList paths;
    if (!program) return paths;
    for (int row = 0; row < program->queue().rowCount(); ++row)
        if (const auto node = program->queue().nodeAtRow(row)) paths << node->absolutePath();
    return paths;
}

QString RunContext::queueFile() const {
    return MorrowFileQueue::defaultStorePath();
}

QString RunContext::everythingSaid() const {
    QString all = said;
    if (const auto logger = ParoxLogger::defaultLogger()) logger->flush();
    for (const QString& file : logFiles)
        all += QString::fromUtf8(test::readFile(file));
    return all;
}

} // namespace vantle::campaign
