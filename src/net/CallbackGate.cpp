#include "net/CallbackGate.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace vantle {
namespace {

// The gates whose callbacks are running on this thread, innermost last.
thread_local std::vector<const CallbackGate*> tOpenGates;

} // namespace

CallbackGate::Pass::Pass(const CallbackGate& gate) : mGate(gate), mHolds(!gate.insideCallback()) {
    if (mHolds) mGate.mMutex.lock_shared();
    tOpenGates.push_back(&mGate);
}

CallbackGate::Pass::~Pass() {
    tOpenGates.pop_back();
    if (mHolds) mGate.mMutex.unlock_shared();
}

bool CallbackGate::insideCallback() const {
    return std::find(tOpenGates.begin(), tOpenGates.end(), this) != tOpenGates.end();
}

void CallbackGate::waitForCallbacksInFlight() const {
    if (insideCallback()) return;
    std::lock_guard wait(mMutex);
}

} // namespace vantle
