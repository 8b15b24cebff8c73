#include "LinkRelay.h"

#include "BenchSockets.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace vantle::bench {

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kBitsPerByte = 8.0;
// Reads no larger than the bucket, so pacing follows the bytes closely.
constexpr std::size_t kSliceBytes = 16 * 1024;
// The default timer slack (50 µs) would blur a 1.5 ms delay.
constexpr unsigned long kTimerSlackNs = 1000;

// The virtual link clock: when a slice that arrived at `arrival` has crossed the link.
class TokenBucket {
public:
    TokenBucket(double bytesPerSecond, std::size_t depth)
        : mBytesPerSecond(bytesPerSecond), mDepth(static_cast<double>(depth)),
          mTokens(static_cast<double>(depth)) {}

    Clock::time_point sent(Clock::time_point arrival, std::size_t bytes) {
        Clock::time_point at = std::max(arrival, mLast);
        mTokens = std::min(mDepth, mTokens + seconds(at - mLast) * mBytesPerSecond);
        const auto need = static_cast<double>(bytes);
        if (mTokens < need) {
            at += std::chrono::duration_cast<Clock::duration>(
                std::chrono::duration<double>((need - mTokens) / mBytesPerSecond));
            mTokens = need;
        }
        mTokens -= need;
        mLast = at;
        return at;
    }

private:
    static double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }
    const double mBytesPerSecond;
    const double mDepth;
    double mTokens;
    Clock::time_point mLast{};
};

} // namespace

// One direction of one connection: a reader that stamps each slice with its delivery time, a
// bounded queue, and a writer that hands the slice on when its time comes.
struct LinkRelay::Pipe {
    Pipe(int fromFd, int toFd, const LinkShape& shape, std::atomic<std::size_t>& peak)
        : from(fromFd), to(toFd), mShape(shape),
          mBucket(shape.bitsPerSecond / kBitsPerByte, shape.burstBytes), mPeak(peak) {
        reader = std::thread([this] { readLoop(); });
        writer = std::thread([this] { writeLoop(); });
    }
    ~Pipe() {
        stop();
        reader.join();
        writer.join();
    }
    void stop() {
        {
            std::lock_guard lock(mLock);
            mStopped = true;
        }
        mChanged.notify_all();
        ::shutdown(from, SHUT_RD);
        ::shutdown(to, SHUT_WR);
    }

    const int from;
    const int to;
    std::thread reader, writer;

private:
    struct Slice {
        Clock::time_point due;
        std::unique_ptr<char[]> bytes; // not cleared first: the read fills what counts
        std::size_t size = 0;          // 0: the sender closed
    };

    void readLoop() {
        ::prctl(PR_SET_TIMERSLACK, kTimerSlackNs);
        for (;;) {
            Slice slice;
            slice.bytes = std::make_unique_for_overwrite<char[]>(kSliceBytes);
            const ssize_t got = ::recv(from, slice.bytes.get(), kSliceBytes, 0);
            const auto now = Clock::now();
            slice.size = got > 0 ? static_cast<std::size_t>(got) : 0;
            slice.due = mBucket.sent(now, slice.size) + mShape.delay;
            std::unique_lock lock(mLock);
            mChanged.wait(lock, [&] { return mStopped || mQueued < mShape.queueBytes; });
            if (mStopped) return;
            mQueued += slice.size;
            std::size_t peak = mPeak.load();
            while (mQueued > peak && !mPeak.compare_exchange_weak(peak, mQueued)) {
            }
            const bool end = slice.size == 0;
            mQueue.push_back(std::move(slice));
            lock.unlock();
            mChanged.notify_all();
            if (end) return;
        }
    }

    void writeLoop() {
        ::prctl(PR_SET_TIMERSLACK, kTimerSlackNs);
        for (;;) {
            Slice slice;
            {
                std::unique_lock lock(mLock);
                mChanged.wait(lock, [&] { return mStopped || !mQueue.empty(); });
                if (mStopped) return;
                slice = std::move(mQueue.front());
                mQueue.pop_front();
            }
            std::this_thread::sleep_until(slice.due);
            const bool end = slice.size == 0;
            const bool ok = !end && writeAll(to, slice.bytes.get(), slice.size);
            {
                std::lock_guard lock(mLock);
                mQueued -= slice.size;
            }
            mChanged.notify_all();
            if (!ok) {
                // The close travels on; a failed write stops the reading too.
                ::shutdown(to, SHUT_WR);
                if (!end) ::shutdown(from, SHUT_RD);
                return;
            }
        }
    }

    const LinkShape mShape;
    TokenBucket mBucket;
    std::atomic<std::size_t>& mPeak;
    std::mutex mLock;
    std::condition_variable mChanged;
    std::deque<Slice> mQueue;
    std::size_t mQueued = 0;
    bool mStopped = false;
};

struct LinkRelay::Impl {
    std::uint16_t target = 0;
    LinkShape shape;
    Listener listener;
    std::thread acceptor;
    std::mutex lock;
    std::vector<std::unique_ptr<Pipe>> pipes;
    std::vector<int> sockets;
};

LinkRelay::LinkRelay(std::uint16_t targetPort, const LinkShape& shape)
    : mImpl(std::make_unique<Impl>()) {
    mImpl->target = targetPort;
    mImpl->shape = shape;
    mImpl->acceptor = std::thread([this] { acceptLoop(); });
}

LinkRelay::~LinkRelay() {
    mImpl->listener.shutdown();
    mImpl->acceptor.join();
    std::lock_guard lock(mImpl->lock);
    for (auto& pipe : mImpl->pipes)
        pipe->stop();
    mImpl->pipes.clear();
    for (const int fd : mImpl->sockets)
        ::close(fd);
}

std::uint16_t LinkRelay::port() const {
    return mImpl->listener.port;
}

void LinkRelay::acceptLoop() {
    for (;;) {
        const int near = mImpl->listener.accept();
        if (near < 0) return;
        const int far = connectLoopback(mImpl->target);
        if (far < 0) {
            ::close(near);
            continue;
        }
        const int on = 1;
        ::setsockopt(near, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        std::lock_guard lock(mImpl->lock);
        mImpl->sockets.push_back(near);
        mImpl->sockets.push_back(far);
        mImpl->pipes.push_back(std::make_unique<Pipe>(near, far, mImpl->shape, mPeakQueued));
        mImpl->pipes.push_back(std::make_unique<Pipe>(far, near, mImpl->shape, mPeakQueued));
    }
}

} // namespace vantle::bench
