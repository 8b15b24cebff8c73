#include "transfer/RequestTurns.h"

#include <algorithm>

namespace vantle {

RequestTurns::Ticket RequestTurns::join() {
    std::lock_guard lock(mLock);
    const Ticket ticket = ++mNextTicket;
    mLine.push_back(ticket);
    return ticket;
}

bool RequestTurns::turnOf(Ticket ticket) const {
    return !mHeld && !mLine.empty() && mLine.front() == ticket;
}

bool RequestTurns::isTurnOf(Ticket ticket) const {
    std::lock_guard lock(mLock);
    return turnOf(ticket);
}

bool RequestTurns::waitForTurn(Ticket ticket, Clock::time_point deadline,
                               const std::function<bool()>& stop) {
    std::unique_lock lock(mLock);
    mChanged.wait_until(lock, deadline, [&] { return turnOf(ticket) || stop(); });
    return turnOf(ticket);
}

bool RequestTurns::tryTake(Ticket ticket) {
    std::lock_guard lock(mLock);
    if (!turnOf(ticket)) return false;
    mLine.pop_front();
    mHeld = true;
    return true;
}

void RequestTurns::take(Ticket ticket) {
    std::unique_lock lock(mLock);
    mChanged.wait(lock, [&] { return turnOf(ticket); });
    mLine.pop_front();
    mHeld = true;
}

void RequestTurns::leave(Ticket ticket) {
    {
        std::lock_guard lock(mLock);
        mLine.erase(std::remove(mLine.begin(), mLine.end(), ticket), mLine.end());
    }
    mChanged.notify_all();
}

void RequestTurns::release() {
    {
        std::lock_guard lock(mLock);
        mHeld = false;
    }
    mChanged.notify_all();
}

std::size_t RequestTurns::waiting() const {
    std::lock_guard lock(mLock);
    return mLine.size();
}

void RequestTurns::wake() {
    std::lock_guard lock(mLock);
    mChanged.notify_all();
}

} // namespace vantle
