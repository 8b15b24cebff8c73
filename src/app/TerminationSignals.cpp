#include "app/TerminationSignals.h"

#include "support/ParoxLog.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace vantle {

#ifdef Q_OS_UNIX
namespace {

// The handler may only write a byte; the main thread reads it.
int gSignalPipe[2] = {-1, -1};
constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void onQuitSignal(int signal) {
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const auto written = ::write(gSignalPipe[0], &byte, 1);
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> quit, QObject* parent)
    : QObject(parent), mQuit(std::move(quit)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) != 0) {
        ParoxLog("cannot watch for quit signals: socketpair failed");
        return;
    }
    mNotifier = new QSocketNotifier(gSignalPipe[1], QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (::read(gSignalPipe[1], &byte, 1) != 1) return;
        ParoxLog("quit signal %d", static_cast<int>(byte));
        if (mQuit) mQuit();
    });
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kQuitSignals)
        ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    for (const int signal : kQuitSignals)
        ::signal(signal, SIG_DFL);
    delete mNotifier;
    for (int& fd : gSignalPipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}
#else
TerminationSignals::TerminationSignals(std::function<void()> quit, QObject* parent)
    : QObject(parent), mQuit(std::move(quit)) {}

TerminationSignals::~TerminationSignals() = default;
#endif

} // namespace vantle
