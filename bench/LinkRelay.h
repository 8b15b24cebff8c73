#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>

namespace vantle::bench {

// What the emulated link does to every byte, the same in both directions.
struct LinkShape {
    std::chrono::microseconds delay{1500}; // one way
    double bitsPerSecond = 400e6;
    // Bytes the token bucket lets through at once after an idle moment.
    std::size_t burstBytes = 16 * 1024;
    // Bytes held per direction before the relay stops reading from the sender.
    std::size_t queueBytes = 1024 * 1024;
};

// A TCP relay on 127.0.0.1 standing in for a Wi-Fi link: every connection it accepts is joined to
// a new connection to the target, and each direction is held back by a fixed delay and paced by a
// token bucket. Memory stays bounded: a full queue stops the reading, so the sender's TCP window
// closes instead.
class LinkRelay {
public:
    LinkRelay(std::uint16_t targetPort, const LinkShape& shape);
    ~LinkRelay();
    LinkRelay(const LinkRelay&) = delete;
    LinkRelay& operator=(const LinkRelay&) = delete;

    std::uint16_t port() const;
    // Bytes held in the queues at most, over every direction so far.
    std::size_t peakQueuedBytes() const { return mPeakQueued.load(); }

private:
    struct Pipe;
    void acceptLoop();

    struct Impl;
    std::unique_ptr<Impl> mImpl;
    std::atomic<std::size_t> mPeakQueued{0};
};

} // namespace vantle::bench
