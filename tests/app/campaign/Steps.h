#pragma once

#include <QString>

namespace vantle::campaign {

struct RunContext;

// What the user (or the world) does next.
enum class StepKind {
    Add,            // drop a batch of new items (with a path twice, or an earlier one again)
    Wait,           // let the program work for a while
    Stop,           // the stop button
    RemoveRow,      // take a row out of the queue: the one being sent or another
    AnswerSheet,    // answer the sheet that is open
    Vanish,         // a queued file goes away before its turn
    Change,         // a queued file gets new bytes before its turn
    Quit,           // quit and start again on the same profile
    Terminate,      // the real program, handed files, ended by SIGTERM; then started here again
    PhoneFault,     // the phone is killed and started again, with or without a fault
    Reconnect,      // connect again by the typed address
    Download,       // rows of the phone's pane asked for: one, several, the same twice
    DownloadTo,     // a row downloaded into the run's own folder
    CancelDownload, // a second click on the row being downloaded
};

StepKind pickStep(RunContext& run);
// Runs one step and notes it in the run's steps.
void runStep(StepKind kind, RunContext& run);
// Answers the open sheet, if any, as the run's random source says; false when none was open.
bool answerSheet(RunContext& run);
// The phone and program brought back to health, and the queue let run out (bounded).
void settle(RunContext& run);

} // namespace vantle::campaign
