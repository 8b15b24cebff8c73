#pragma once

// The responsiveness benchmark's scenarios: the program driven as a user drives it (its public
// operations, its widgets and actions by object name), while the main thread's longest stall is
// measured from each scenario's first action to its end state.
#include "support/harness/StallMeter.h"

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace vantle::test {
struct Phone;
struct Program;
} // namespace vantle::test

namespace vantle::bench {

class SilentResolver;

// The meter's heartbeat on the main thread.
inline constexpr int kMeterTickMs = 10;

struct ResponsivenessSizes {
    int uploadFiles = 100'000;
    int phoneRows = 500;
    int downloadMiB = 1024;
};

// What one scenario found: the longest stall while it ran (none when it could not run) and what
// it reached, in words.
struct Outcome {
    std::optional<double> longestStallMs;
    QString said;
};

// What every scenario works with.
struct Bench {
    ResponsivenessSizes sizes;
    test::Program& program;
    StallMeter& meter;
    QString uploadFolder;               // the folder of many small files
    SilentResolver* resolver = nullptr; // none outside the private namespace
    QString otherFileSystem;            // a folder beside the download area; empty: none
    QString otherFileSystemNote;        // where it is, or why there is none
};

// --- The scenarios, in the order they run ---
Outcome uploadStart(Bench& bench);
Outcome slowPhone(Bench& bench);
Outcome lookup(Bench& bench);
Outcome removeRows(Bench& bench);
Outcome downloadOtherFileSystem(Bench& bench);
// Ends the program: the last one.
Outcome quitInFlight(Bench& bench);

// --- Their steps ---

// Lets the program work until `done` holds or `limitMs` have passed; whether it held. The
// main thread waits in its event loop only, so that the meter's gaps are the program's own.
bool waitFor(const std::function<bool()>& done, int limitMs);
// `count` small files named file00001.txt … in `folder`; false when one could not be written.
bool fillFolder(const QString& folder, int count);
// A phone with `count` small files in its store.
std::unique_ptr<test::Phone> startPhone(const QStringList& arguments, int count);
// Connects as a typed address is, until the status line says so and the phone's `rows` are
// listed; false when that did not come in `limitMs`.
bool connectAndList(Bench& bench, const test::Phone& phone, int rows, int limitMs);
// Stops the phone (by its process id) and waits until the window has let it go; sheets left
// open meanwhile are answered.
void letGo(Bench& bench, std::unique_ptr<test::Phone>& phone);
// "1.23 s"
QString seconds(qint64 ms);

// One scenario's measurement: from its first action, the meter's longest gap.
class Measurement {
public:
    explicit Measurement(StallMeter& meter);
    qint64 elapsedMs() const { return mClock.elapsed(); }
    // The longest gap so far, once the meter has ticked after the last of the work.
    double longestStallMs() const;

private:
    StallMeter& mMeter;
    QElapsedTimer mClock;
};

} // namespace vantle::bench
