#include "app/campaign/RunContext.h"

#include "app/AppKeys.h"
#include "app/AppTestProfile.h"
#include "app/MorrowFileQueue.h"
#include "app/campaign/Watchdog.h"
#include "platform/Defaults.h"
#include "support/ParoxLogger.h"

#include <QElapsedTimer>
#include <QTest>

namespace vantle::campaign {
namespace {

// How long a connection, or its refusal, may take to show.
constexpr int kConnectMs = 4'000;

} // namespace

RunContext::RunContext(std::uint32_t runSeed, Watchdog& runWatchdog)
    : seed(runSeed), random(runSeed), watchdog(runWatchdog) {
    test::startFromCleanSettings();
    // The program's own words about what it did go to a log file that the checks read.
    Defaults::setBool(QString(prefs::kLogToFile), true);
    Defaults::sync();
}

RunContext::~RunContext() {
    quitProgram(QStringLiteral("the end of the run"));
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
    const qint64 took = clock.elapsed();
    watchdog.disarm();
    longestQuitMs = std::max(longestQuitMs, took);
    steps << QStringLiteral("   quit took %1 ms").arg(took);
    model.answerForOthersEnds();
    found(checkQueueFile(model, phone, before, queueFile(), QStringLiteral("quit at ") + why));
}

bool RunContext::connected() const {
    return program && program->controller->statusText() == test::kConnectedStatus;
}

void RunContext::connectProgram() {
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
