#include "app/campaign/Steps.h"

#include "app/campaign/RealProgram.h"
#include "app/campaign/RunContext.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

namespace vantle::campaign {
namespace {

constexpr int kMostItemsPerBatch = 3;
constexpr int kShortestWaitMs = 50;
constexpr int kLongestWaitMs = 700;
// How long an answer waits for its sheet to come.
constexpr int kSheetComesMs = 250;
// How long an empty queue is watched before the run counts as over.
constexpr int kQueueStaysEmptyMs = 200;
constexpr int kTerminateLimitMs = 10'000;
constexpr int kLongestRealRunMs = 800;
constexpr int kSettleMs = 4'000;
constexpr int kSettleStepMs = 300;
constexpr int kMostSettleAnswers = 12;
constexpr int kConnectionEndsMs = 2'000;

struct Weighted {
    StepKind kind;
    int weight;
};
constexpr Weighted kStepWeights[] = {
    {StepKind::Add, 24},       {StepKind::Wait, 18},          {StepKind::Stop, 6},
    {StepKind::RemoveRow, 7},  {StepKind::AnswerSheet, 18},   {StepKind::Vanish, 4},
    {StepKind::Change, 4},     {StepKind::Quit, 5},           {StepKind::Terminate, 3},
    {StepKind::PhoneFault, 8}, {StepKind::Reconnect, 5},      {StepKind::Download, 12},
    {StepKind::DownloadTo, 5}, {StepKind::CancelDownload, 4},
};

struct WeightedKind {
    ItemKind kind;
    int weight;
};
constexpr WeightedKind kItemWeights[] = {
    {ItemKind::File, 40},       {ItemKind::EmptyFile, 8},    {ItemKind::Folder, 18},
    {ItemKind::LinkToFile, 10}, {ItemKind::LinkToFolder, 8}, {ItemKind::LongName, 4},
    {ItemKind::Pipe, 2},
};

struct WeightedFault {
    PhoneFault fault;
    int weight;
};
constexpr WeightedFault kFaultWeights[] = {
    {PhoneFault::None, 25},      {PhoneFault::Slow, 20},        {PhoneFault::Drop, 20},
    {PhoneFault::FailPiece, 15}, {PhoneFault::NoUpload, 5},     {PhoneFault::Deny, 5},
    {PhoneFault::DenyFirst, 10}, {PhoneFault::StopMidItem, 12},
};

template <class T, std::size_t N> auto pick(RunContext& run, const T (&table)[N]) {
    int total = 0;
    for (const T& entry : table)
        total += entry.weight;
    int roll = run.between(0, total - 1);
    for (const T& entry : table) {
        if (roll < entry.weight) return entry;
        roll -= entry.weight;
    }
    return table[0];
}

QString nameOf(const QString& path) {
    return QFileInfo(path).fileName().left(24);
}

// A new item, with pre-existing bytes of the same name on the phone now and then.
QString newItem(RunContext& run, ItemKind kind) {
    const int index = run.nextItem++;
    const QString path = run.work.make(kind, index, run.random);
    run.model.added(path, kind);
    return path;
}

void add(RunContext& run) {
    QStringList batch;
    QStringList notes;
    const int count = run.between(1, kMostItemsPerBatch);
    for (int i = 0; i < count; ++i) {
        const ItemKind kind = pick(run, kItemWeights).kind;
        batch << newItem(run, kind);
        notes << kindName(kind) + QLatin1Char(' ') + nameOf(batch.last());
    }
    // The same path twice in one batch, and an earlier item dropped again.
    if (run.chance(20)) {
        batch << batch.first();
        notes << QStringLiteral("again ") + nameOf(batch.first());
    }
    const QStringList earlier = run.model.items().keys();
    if (run.chance(15) && !earlier.isEmpty()) {
        const QString again = earlier[run.between(0, int(earlier.size()) - 1)];
        if (QFileInfo(again).exists() || QFileInfo(again).isSymLink()) {
            run.model.added(again, run.model.item(again)->kind);
            batch << again;
            notes << QStringLiteral("earlier ") + nameOf(again);
        }
    }
    run.steps << QStringLiteral("add: ") + notes.join(QStringLiteral(", "));
    if (!run.program) return;
    run.program->controller->doAddToQueue(batch);
    waitFor([&] { return !run.program->queue().isBusy(); }, test::kProgramWaitMs);
}

void wait(RunContext& run) {
    const int ms = run.between(kShortestWaitMs, kLongestWaitMs);
    run.steps << QStringLiteral("wait %1 ms").arg(ms);
    if (!run.program) return;
    waitFor([&] { return run.program->queue().rowCount() == 0 && !run.program->sending(); }, ms);
}

void stop(RunContext& run) {
    auto* button =
        run.program ? run.program->find<QToolButton>(QStringLiteral("stopButton")) : nullptr;
    const bool canClick = button && button->isEnabled() && button->isVisible();
    run.steps << (canClick ? QStringLiteral("stop") : QStringLiteral("stop (not shown)"));
    if (canClick) QTest::mouseClick(button, Qt::LeftButton);
}

void removeRow(RunContext& run) {
    const QStringList rows = run.rows();
    if (rows.isEmpty()) {
        run.steps << QStringLiteral("remove (queue empty)");
        return;
    }
    const int row = run.chance(50) ? 0 : run.between(0, int(rows.size()) - 1);
    run.steps << QStringLiteral("remove row %1 (%2)").arg(row).arg(nameOf(rows[row]));
    run.model.removed(rows[row]);
    run.program->queue().removeAtIndex(row);
}

// A queued item that is not the next one, or empty.
QString laterRow(RunContext& run) {
    const QStringList rows = run.rows();
    if (rows.size() < 2) return {};
    return rows[run.between(1, int(rows.size()) - 1)];
}

void vanish(RunContext& run) {
    const QString path = laterRow(run);
    run.steps << QStringLiteral("vanish ") +
                     (path.isEmpty() ? QStringLiteral("(none)") : nameOf(path));
    if (path.isEmpty()) return;
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
    run.model.vanished(path);
}

void change(RunContext& run) {
    const QString path = laterRow(run);
    const bool changed = !path.isEmpty() && run.work.change(path, run.random);
    run.steps << QStringLiteral("change ") + (changed ? nameOf(path) : QStringLiteral("(none)"));
    if (changed) run.model.changed(path);
}

void quitAndRestart(RunContext& run) {
    run.steps << QStringLiteral("quit and start again");
    run.quitProgram(QStringLiteral("a quit"));
    run.startProgram();
    run.connectProgram();
}

void phoneFault(RunContext& run) {
    const PhoneFault fault = pick(run, kFaultWeights).fault;
    run.phone.restart(fault, run.random);
    run.downloads.connectionGone();
    run.steps << QStringLiteral("phone killed, started again: ") + run.phone.options();
    // The program hears of the old phone's end a moment later; until then a typed address is
    // taken for the connection it still has.
    if (run.program)
        waitFor([&] { return !run.program->controller->status().connectedOrConnecting(); },
                kConnectionEndsMs);
    run.connectProgram();
}

void reconnect(RunContext& run) {
    run.steps << QStringLiteral("connect again");
    if (!run.connected()) run.connectProgram();
}

// The real program on this profile, handed files, then ended by SIGTERM.
void terminate(RunContext& run) {
    run.quitProgram(QStringLiteral("the hand-over to the real program"));
    if (run.phone.fault() != PhoneFault::None && run.phone.fault() != PhoneFault::Slow)
        run.phone.restart(PhoneFault::None, run.random);
    QStringList expected;
    for (const QString& path : queueFilePaths(run.queueFile()))
        if (QFileInfo(path).exists()) expected << path;
    QStringList handed;
    const int count = run.between(1, 2);
    for (int i = 0; i < count; ++i)
        handed << newItem(run, run.chance(70) ? ItemKind::File : ItemKind::Folder);
    const int runMs = run.between(0, kLongestRealRunMs);
    QStringList names;
    for (const QString& path : handed)
        names << nameOf(path);
    run.steps << QStringLiteral("real program: hand over %1, run %2 ms, SIGTERM")
                     .arg(names.join(QStringLiteral(", ")))
                     .arg(runMs);

    RealProgram real;
    if (!real.start(run.phone.address())) {
        run.steps << QStringLiteral("   the real program did not connect");
    } else if (real.handOver(handed)) {
        expected << handed;
        real.runFor(runMs);
    } else {
        run.steps << QStringLiteral("   the hand-over was not acknowledged");
        for (const QString& path : handed)
            run.model.removed(path);
    }
    qint64 took = 0;
    const bool ended = real.terminate(kTerminateLimitMs, took);
    run.said += real.output();
    run.longestQuitMs = std::max(run.longestQuitMs, took);
    run.steps << QStringLiteral("   SIGTERM took %1 ms").arg(took);
    if (!ended)
        run.found({{QStringLiteral("I5"),
                    QStringLiteral("the real program did not end within %1 ms of SIGTERM")
                        .arg(kTerminateLimitMs)}});
    run.model.answerForOthersEnds();
    run.found(
        checkQueueFile(run.model, run.phone, expected, run.queueFile(), QStringLiteral("SIGTERM")));
    run.startProgram();
    run.connectProgram();
}

UserModel::Answer clashAnswer(const QString& button) {
    if (button == QLatin1String("Replace")) return UserModel::Answer::Replace;
    if (button == QLatin1String("Make Unique")) return UserModel::Answer::MakeUnique;
    return UserModel::Answer::Cancel;
}

// The item a sheet is about: the one its text names, else the one whose upload failed (not
// always the first row: an item added later in the same second may sort before it).
QString sheetItem(RunContext& run, const QString& text) {
    static const QRegularExpression quoted(QStringLiteral("\"([^\"]+)\""));
    const QString named = quoted.match(text).captured(1);
    const QString current = run.program->currentUploadPath();
    const auto next = run.program->queue().getNextFile();
    const QString first = next ? next->absolutePath() : QString();
    if (named.isEmpty()) return current.isEmpty() ? first : current;
    if (QFileInfo(current).fileName() == named) return current;
    if (QFileInfo(first).fileName() == named) return first;
    for (const QString& path : run.model.pendingPaths())
        if (QFileInfo(path).fileName() == named) return path;
    return first;
}

// Nothing left to send or to receive.
bool quiet(RunContext& run) {
    return run.program->queue().rowCount() == 0 && !run.program->sending() &&
           run.program->receivingFiles().isEmpty();
}

} // namespace

bool answerSheet(RunContext& run) {
    if (!run.program) return false;
    SheetPresenter& sheets = run.program->sheets();
    waitFor([&] { return sheets.current() != nullptr; }, kSheetComesMs);
    if (!sheets.current()) return false;
    const QString title = sheets.currentTitle();
    const QString text = sheets.currentText();
    QStringList buttons = sheets.currentButtons();
    // Ignoring the phone would end the run's connection for good.
    buttons.removeAll(QStringLiteral("Ignore This iPhone"));
    if (buttons.isEmpty()) buttons = sheets.currentButtons();
    const QString button = buttons[run.between(0, int(buttons.size()) - 1)];
    const bool clash = title == QLatin1String("File Exists On Device");
    const bool forOthers = clash && run.chance(40);
    const QString path = sheetItem(run, text);
    run.steps << QStringLiteral("answer \"%1\" with %2%3 (%4)")
                     .arg(title, button,
                          forOthers ? QStringLiteral(" for the other items too") : QString(),
                          nameOf(path));
    if (clash)
        run.model.answeredClash(path, clashAnswer(button), forOthers);
    else if (title == QLatin1String("File Name or Path Too Long") ||
             (button == QLatin1String("Cancel") && title.startsWith(QStringLiteral("Error"))))
        run.model.cancelled(path);
    sheets.answer(button, forOthers);
    return true;
}

StepKind pickStep(RunContext& run) {
    return pick(run, kStepWeights).kind;
}

void runStep(StepKind kind, RunContext& run) {
    switch (kind) {
    case StepKind::Add:
        add(run);
        break;
    case StepKind::Wait:
        wait(run);
        break;
    case StepKind::Stop:
        stop(run);
        break;
    case StepKind::RemoveRow:
        removeRow(run);
        break;
    case StepKind::AnswerSheet:
        if (!answerSheet(run)) run.steps << QStringLiteral("answer (no sheet)");
        break;
    case StepKind::Vanish:
        vanish(run);
        break;
    case StepKind::Change:
        change(run);
        break;
    case StepKind::Quit:
        quitAndRestart(run);
        break;
    case StepKind::Terminate:
        terminate(run);
        break;
    case StepKind::PhoneFault:
        phoneFault(run);
        break;
    case StepKind::Reconnect:
        reconnect(run);
        break;
    case StepKind::Download:
        askDownloads(run, false);
        break;
    case StepKind::DownloadTo:
        askDownloads(run, true);
        break;
    case StepKind::CancelDownload:
        cancelDownloadByClick(run);
        break;
    }
    // A queue that stays empty ends its run: an answer for the other items is over.
    if (run.program && run.program->queue().rowCount() == 0 &&
        !QTest::qWaitFor([&] { return run.program->queue().rowCount() != 0; }, kQueueStaysEmptyMs))
        run.model.answerForOthersEnds();
}

void settle(RunContext& run) {
    run.steps << QStringLiteral("settle: a healthy phone, the queue and downloads let run out");
    if (run.phone.fault() != PhoneFault::None || !run.phone.running()) {
        run.phone.restart(PhoneFault::None, run.random);
        // What was under way went with the old phone, though the program may not know it yet.
        run.downloads.connectionGone();
    }
    if (!run.program) run.startProgram();
    if (!run.connected()) {
        answerSheet(run);
        run.connectProgram();
    }
    QElapsedTimer clock;
    clock.start();
    int answers = 0;
    while (clock.elapsed() < kSettleMs && answers < kMostSettleAnswers) {
        if (run.program->sheets().current()) {
            answerSheet(run);
            ++answers;
            continue;
        }
        if (quiet(run)) break;
        if (!run.connected()) run.connectProgram();
        waitFor([&] { return run.program->sheets().current() || quiet(run); }, kSettleStepMs);
    }
}

} // namespace vantle::campaign
