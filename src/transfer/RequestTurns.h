#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

namespace vantle {

// The request lock, taken in turn: a thread that asked for it earlier gets it earlier, so a
// thread that sends request after request never keeps another one out.
class RequestTurns {
public:
    using Ticket = std::uint64_t;
    using Clock = std::chrono::steady_clock;

    // Joins the line; the ticket must be taken or left.
    Ticket join();
    // First in line and the lock is free.
    bool isTurnOf(Ticket ticket) const;
    // Waits until it is the ticket's turn, `stop` holds or the deadline passes; true on the turn.
    // `stop` is asked under the line's lock and must not call back into this object.
    bool waitForTurn(Ticket ticket, Clock::time_point deadline, const std::function<bool()>& stop);
    // Takes the lock when it is the ticket's turn; false otherwise.
    bool tryTake(Ticket ticket);
    // Takes the lock once it is the ticket's turn, without a time limit.
    void take(Ticket ticket);
    // Leaves the line without taking the lock.
    void leave(Ticket ticket);
    void release();
    // Threads in line that wait for the lock or their turn.
    std::size_t waiting() const;
    // Makes every waiter look at its `stop` condition again.
    void wake();

private:
    bool turnOf(Ticket ticket) const; // mLock held

    mutable std::mutex mLock;
    std::condition_variable mChanged;
    std::deque<Ticket> mLine;
    Ticket mNextTicket = 0;
    bool mHeld = false;
};

} // namespace vantle
