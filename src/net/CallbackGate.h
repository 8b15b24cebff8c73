#pragma once

#include <cstdint>
#include <mutex>
#include <shared_mutex>

namespace vantle {

// Lets the owner of a delegate wait, when it changes the delegate, for callbacks already on their
// way to the old one. Each callback runs inside a Pass. A callback that leads to another on the
// same thread (a delegate that disconnects from inside a callback) passes once, so that a waiting
// changer cannot hold up the inner one.
class CallbackGate {
public:
    class Pass {
    public:
        explicit Pass(const CallbackGate& gate);
        ~Pass();
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;

    private:
        const CallbackGate& mGate;
        bool mHolds;
    };

    // Returns once every Pass opened on another thread before the call has closed. Inside a Pass
    // of this gate on the calling thread it returns at once: it would wait for itself.
    void waitForCallbacksInFlight() const;
    bool insideCallback() const;

private:
    mutable std::shared_mutex mMutex; // shared by each outermost Pass
};

// Sends one callback through `gate` to the delegate that `lock` guards, if its `implemented` bits
// name `callback`; the delegate cannot change under it.
template <class Delegate, class Call>
void sendThroughGate(const CallbackGate& gate, std::mutex& lock, Delegate* const& delegate,
                     const std::uint32_t& implemented, std::uint32_t callback, Call&& call) {
    const CallbackGate::Pass pass(gate);
    Delegate* target = nullptr;
    {
        std::lock_guard guard(lock);
        if (implemented & callback) target = delegate;
    }
    if (target) call(*target);
}

} // namespace vantle
