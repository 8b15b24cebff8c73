#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "net/GamePeer.h"
#include "net/NSNetServicesWrapper.h"
#include "net/NetUtilities.h"
#include "net/NetworkThread.h"

#include <QElapsedTimer>
#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <vector>

namespace vantle::cli {
namespace {

constexpr const char* kUsage = "ping [--address] HOST[:PORT]";
constexpr const char* kHelp =
    "Usage: vantle-cli ping [--address] HOST[:PORT]\n"
    "\n"
    "Connects to the phone at HOST[:PORT] (port 34345 when left out), shows who it is, the\n"
    "handshake time and the median of 5 pings.\n"
    "\n"
    "Exit status: 0 when the phone answered, 1 on any failure, 2 for a usage error.\n";

constexpr int kPingCount = 5;
constexpr double kMillisecondsPerSecond = 1000.0;

// Waits on the calling thread for the peer's verdict, which arrives on the network thread.
class PingDelegate : public GamePeerDelegate {
public:
    enum class Verdict { Waiting, Connected, Failed };

    QString gamePeerWillSendName(GamePeer*) override { return HostGetName(); }
    void gamePeerDidConnect(GamePeer*) override { settle(Verdict::Connected); }
    void gamePeerDidFailConnecting(GamePeer*) override { settle(Verdict::Failed); }
    void gamePeerDidDisconnect(GamePeer*) override { settle(Verdict::Failed); }
    void gamePeerDidReceiveData(GamePeer* peer, const QByteArray&, bool) override {
        if (!peer->isConnected()) mForeignData = true; // talking before its identity
    }

    Verdict wait() {
        std::unique_lock lock(mMutex);
        mChanged.wait(lock, [this] { return mVerdict != Verdict::Waiting; });
        return mVerdict;
    }
    bool sawForeignData() const { return mForeignData; }

private:
    void settle(Verdict verdict) {
        {
            std::lock_guard lock(mMutex);
            if (mVerdict == Verdict::Waiting) mVerdict = verdict;
        }
        mChanged.notify_all();
    }

    std::mutex mMutex;
    std::condition_variable mChanged;
    Verdict mVerdict = Verdict::Waiting;
    std::atomic<bool> mForeignData{false};
};

int fail(const QString& target, const QString& step) {
    std::fprintf(stderr, "vantle-cli: %s: %s\n", qPrintable(target), qPrintable(step));
    return kExitFailure;
}

// "host", "host:port"; the host may be a name.
std::optional<SocketAddress> addressFor(const QString& target, QString* problem) {
    const auto typed = splitTypedAddress(target);
    if (!typed) {
        *problem = QStringLiteral("not a port number: %1")
                       .arg(target.mid(target.lastIndexOf(QLatin1Char(':')) + 1));
        return std::nullopt;
    }
    if (const auto wrapper = NSNetServicesWrapper::wrapperWithIP(target))
        return wrapper->addressData();
    *problem = QStringLiteral("cannot find the address of %1").arg(typed->host);
    return std::nullopt;
}

QString describeFailure(const GamePeer& peer, const PingDelegate& delegate) {
    const QString detail = peer.failureDetail();
    switch (peer.failure()) {
    case GamePeer::Failure::CouldNotOpen:
        return QStringLiteral("cannot connect: %1")
            .arg(detail.isEmpty() ? QStringLiteral("the connection did not open")
                                  : detail.toLower());
    case GamePeer::Failure::HandshakeTimedOut:
        return delegate.sawForeignData()
                   ? QStringLiteral("the other side is not a Vantle phone (it answered with "
                                    "something else than a handshake)")
                   : QStringLiteral("no handshake within %1 s")
                         .arg(GamePeer::kDefaultHandshakeTimeoutMs / 1000);
    case GamePeer::Failure::ClosedDuringHandshake:
    case GamePeer::Failure::None:
        break;
    }
    return QStringLiteral("the other side is not a Vantle phone (%1 before its handshake)")
        .arg(detail.isEmpty() ? QStringLiteral("the connection ended") : detail);
}

// A ping gives up at its limit, also when the phone stops taking the ping itself; sooner, the
// connection has ended.
QString describePingFailure(int ping, qint64 elapsedMs) {
    if (elapsedMs >= GamePeer::kDefaultPingTimeoutMs)
        return QStringLiteral("the phone did not answer ping %1 of %2 within %3 s")
            .arg(ping)
            .arg(kPingCount)
            .arg(qRound(GamePeer::kDefaultPingTimeoutMs / kMillisecondsPerSecond));
    return QStringLiteral("the connection ended during ping %1 of %2").arg(ping).arg(kPingCount);
}

} // namespace

int runPing(const QStringList& arguments) {
    const auto line = parseCommandLine(
        arguments, OptionSet{.address = true, .approvalWait = false, .switches = {}});
    if (!line) return usageError(line.error(), kUsage);
    if (line->help) return printHelp(kHelp);
    // The address comes as --address or as the one argument, not both.
    if (line->operands.size() != (line->address ? 0 : 1))
        return usageError(QStringLiteral("ping needs one address."), kUsage);
    const QString target = line->address.value_or(line->operands.value(0));
    QString problem;
    const auto address = addressFor(target, &problem);
    if (!address) return fail(target, problem);

    startNetworkThread();
    auto delegate = std::make_shared<PingDelegate>();
    auto peer = GamePeer::create(QStringLiteral("Manual:Connection"), address);
    if (!peer) return fail(target, QStringLiteral("not an address to dial"));
    peer->setDelegate(delegate);
    QElapsedTimer clock;
    clock.start();
    if (!peer->connect()) return fail(target, QStringLiteral("cannot make a socket"));
    if (delegate->wait() != PingDelegate::Verdict::Connected)
        return fail(target, describeFailure(*peer, *delegate));
    const double handshakeMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;

    std::vector<double> trips;
    for (int i = 0; i < kPingCount; ++i) {
        QElapsedTimer pingClock;
        pingClock.start();
        const double seconds = peer->measureRoundTripLatency();
        if (seconds < 0) {
            peer->disconnect();
            return fail(target, describePingFailure(i + 1, pingClock.elapsed()));
        }
        trips.push_back(seconds * kMillisecondsPerSecond);
    }
    std::sort(trips.begin(), trips.end());
    std::printf("Vantle phone \"%s\"\n", qPrintable(peer->name().value_or(QString())));
    std::printf("  unique ID: %s\n",
                qPrintable(peer->uniqueID().value_or(QStringLiteral("(none)"))));
    std::printf("  address:   %s\n", qPrintable(peer->address().value_or(target)));
    std::printf("  handshake: %.2f ms\n", handshakeMs);
    std::printf("  ping:      %.3f ms (median of %d)\n", trips[trips.size() / 2], kPingCount);
    std::fflush(stdout);
    peer->setDelegate({});
    peer->disconnect();
    return kExitSuccess;
}

} // namespace vantle::cli
