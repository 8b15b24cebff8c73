#include "net/PhoneProbe.h"

#include "net/NetUtilities.h"
#include "net/NetworkThread.h"

#include <QElapsedTimer>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>

namespace vantle {
namespace {

constexpr double kMillisecondsPerSecond = 1000.0;
constexpr double kNanosecondsPerMillisecond = 1e6;

// Waits on the calling thread for the peer's verdict, which arrives on the network thread.
class ProbeDelegate : public GamePeerDelegate {
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

ProbeResult::Outcome openFailure(int errorNumber) {
    switch (errorNumber) {
    case ECONNREFUSED:
        return ProbeResult::Outcome::Refused;
    case EHOSTUNREACH:
    case ENETUNREACH:
    case EHOSTDOWN:
    case ENETDOWN:
        return ProbeResult::Outcome::Unreachable;
    case ETIMEDOUT:
        return ProbeResult::Outcome::OpenTimedOut;
    default:
        return ProbeResult::Outcome::CouldNotOpen;
    }
}

ProbeResult::Outcome handshakeFailure(const GamePeer& peer, const ProbeDelegate& delegate) {
    switch (peer.failure()) {
    case GamePeer::Failure::CouldNotOpen:
        return openFailure(peer.failureErrorNumber());
    case GamePeer::Failure::OpenTimedOut:
        return ProbeResult::Outcome::OpenTimedOut;
    case GamePeer::Failure::HandshakeTimedOut:
        return delegate.sawForeignData() ? ProbeResult::Outcome::NotAPhone
                                         : ProbeResult::Outcome::NoHandshake;
    case GamePeer::Failure::ClosedDuringHandshake:
    case GamePeer::Failure::None:
        break;
    }
    return ProbeResult::Outcome::ClosedEarly;
}

} // namespace

QString secondsText(int ms) {
    return QString::number(ms / kMillisecondsPerSecond, 'g', 2);
}

std::optional<double> ProbeResult::medianRoundTripMs() const {
    if (roundTripsMs.empty()) return std::nullopt;
    return roundTripsMs[roundTripsMs.size() / 2];
}

ProbeResult probePhone(const SocketAddress& address, const ProbeLimits& limits) {
    ProbeResult result;
    startNetworkThread();
    auto delegate = std::make_shared<ProbeDelegate>();
    auto peer = GamePeer::create(QStringLiteral("Manual:Connection"), address);
    if (!peer) return result;
    peer->setDelegate(delegate);
    peer->setHandshakeTimeout(limits.handshakeTimeoutMs);
    peer->setPingTimeout(limits.pingTimeoutMs);
    QElapsedTimer clock;
    clock.start();
    if (!peer->connect()) return result;
    if (delegate->wait() != ProbeDelegate::Verdict::Connected) {
        result.outcome = handshakeFailure(*peer, *delegate);
        result.failureDetail = peer->failureDetail();
        return result;
    }
    result.handshakeMs = static_cast<double>(clock.nsecsElapsed()) / kNanosecondsPerMillisecond;
    result.name = peer->name();
    result.uniqueID = peer->uniqueID();
    result.outcome = ProbeResult::Outcome::Answered;
    for (int i = 0; i < limits.pings; ++i) {
        QElapsedTimer pingClock;
        pingClock.start();
        const double trip = peer->measureRoundTripLatency();
        if (trip < 0) {
            // It gives up at its limit, also when the phone stops taking the ping itself; sooner,
            // the connection has ended.
            result.outcome = pingClock.elapsed() >= limits.pingTimeoutMs
                                 ? ProbeResult::Outcome::PingUnanswered
                                 : ProbeResult::Outcome::PingBroken;
            result.failedPing = i + 1;
            break;
        }
        result.roundTripsMs.push_back(trip * kMillisecondsPerSecond);
    }
    std::sort(result.roundTripsMs.begin(), result.roundTripsMs.end());
    peer->setDelegate({});
    peer->disconnect();
    return result;
}

QString describeProbeFailure(const ProbeResult& result, const ProbeLimits& limits) {
    using Outcome = ProbeResult::Outcome;
    const QString detail = result.failureDetail;
    switch (result.outcome) {
    case Outcome::Answered:
        return {};
    case Outcome::Refused:
    case Outcome::Unreachable:
    case Outcome::CouldNotOpen:
        return QStringLiteral("cannot connect: %1")
            .arg(detail.isEmpty() ? QStringLiteral("the connection did not open")
                                  : detail.toLower());
    case Outcome::OpenTimedOut:
        return QStringLiteral("cannot connect: no answer within %1 s")
            .arg(secondsText(limits.handshakeTimeoutMs));
    case Outcome::NoHandshake:
        return QStringLiteral("no handshake within %1 s")
            .arg(secondsText(limits.handshakeTimeoutMs));
    case Outcome::NotAPhone:
        return QStringLiteral("the other side is not a Vantle phone (it answered with something "
                              "else than a handshake)");
    case Outcome::ClosedEarly:
        return QStringLiteral("the other side is not a Vantle phone (%1 before its handshake)")
            .arg(detail.isEmpty() ? QStringLiteral("the connection ended") : detail);
    case Outcome::PingUnanswered:
        return QStringLiteral("the phone did not answer ping %1 of %2 within %3 s")
            .arg(result.failedPing)
            .arg(limits.pings)
            .arg(secondsText(limits.pingTimeoutMs));
    case Outcome::PingBroken:
        return QStringLiteral("the connection ended during ping %1 of %2")
            .arg(result.failedPing)
            .arg(limits.pings);
    case Outcome::NoSocket:
        break;
    }
    return QStringLiteral("cannot make a socket");
}

} // namespace vantle
