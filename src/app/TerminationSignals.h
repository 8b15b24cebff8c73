#pragma once

#include <QObject>
#include <functional>
#include <thread>

namespace vantle {

// Turns the signals a session sends at logout or a terminal at Ctrl+C (SIGTERM, SIGINT, SIGHUP)
// into an orderly quit on the main thread, as the Quit menu item does. One per process.
//
// The main thread may be waiting on the phone when the signal comes: `interrupt` runs first, at
// once, on a thread of its own, to end such waits (it may only make thread-safe calls); `quit`
// follows on the main thread.
class TerminationSignals final : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(std::function<void()> quit, std::function<void()> interrupt = {},
                                QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    void watch();

    std::function<void()> mQuit;
    std::function<void()> mInterrupt;
    std::thread mWatcher;
};

} // namespace vantle
