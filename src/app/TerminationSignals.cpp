#include "app/TerminationSignals.h"

#include "support/ParoxLog.h"

#include <QMetaObject>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace vantle {

#ifdef Q_OS_UNIX
namespace {

// The handler may only write a byte; the watcher thread reads it.
int gSignalPipe[2] = {-1, -1};
constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};
// No signal has this number: it tells the watcher to end.
constexpr char kStopWatching = 0;

void sendByte(char byte) {
    [[maybe_unused]] const auto written = ::write(gSignalPipe[0], &byte, 1);
}

extern "C" void onQuitSignal(int signal) {
    sendByte(static_cast<char>(signal));
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> quit, std::function<void()> interrupt,
                                       QObject* parent)
    : QObject(parent), mQuit(std::move(quit)), mInterrupt(std::move(interrupt)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) != 0) {
        ParoxLog("cannot watch for quit signals: socketpair failed");
        return;
    }
    mWatcher = std::thread([this] { watch(); });
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kQuitSignals)
        ::sigaction(signal, &action, nullptr);
}

void TerminationSignals::watch() {
    char byte = kStopWatching;
    while (::read(gSignalPipe[1], &byte, 1) == 1 && byte != kStopWatching) {
        ParoxLog("quit signal %d", static_cast<int>(byte));
        if (mInterrupt) mInterrupt();
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (mQuit) mQuit();
            },
            Qt::QueuedConnection);
    }
}

TerminationSignals::~TerminationSignals() {
    for (const int signal : kQuitSignals)
        ::signal(signal, SIG_DFL);
    if (mWatcher.joinable()) {
        sendByte(kStopWatching);
        mWatcher.join();
    }
    for (int& fd : gSignalPipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}
#else
TerminationSignals::TerminationSignals(std::function<void()> quit, std::function<void()> interrupt,
                                       QObject* parent)
    : QObject(parent), mQuit(std::move(quit)), mInterrupt(std::move(interrupt)) {}

TerminationSignals::~TerminationSignals() = default;

void TerminationSignals::watch() {}
#endif

} // namespace vantle
