#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace vantle {

// Turns the signals a session sends at logout or a terminal at Ctrl+C (SIGTERM, SIGINT, SIGHUP)
// into an orderly quit on the main thread, as the Quit menu item does. One per process.
class TerminationSignals final : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(std::function<void()> quit, QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    std::function<void()> mQuit;
    QSocketNotifier* mNotifier = nullptr;
};

} // namespace vantle
