#pragma once

#include <QObject>
#include <QThreadPool>
#include <atomic>
#include <chrono>
#include <functional>
#include <type_traits>
#include <utility>

namespace vantle {

// A group of background work with threads of its own: each piece runs on a worker and its result
// comes back to the group's thread (where it was made) through the event loop. Calls are made on
// that thread only. Nothing is ever detached: shutDown() and the destructor wait for the workers.
//
// Results come back while the group is open; once it is shut down or gone they are dropped, so a
// callback may use its owner freely. Work itself must not use the owner's members unless the owner
// shuts the group down first (or holds it as its last member, which goes first).
class BackgroundWork final : public QObject {
public:
    // How long the destructor waits before it warns that work holds it up; it waits on, as a
    // worker still running uses the group.
    static constexpr std::chrono::milliseconds kDefaultShutdownLimit{2000};

    // `threads` workers at most; one makes the results come back in the order the work was given.
    explicit BackgroundWork(int threads, QObject* parent = nullptr);
    ~BackgroundWork() override;
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    // Runs `work()` on a worker, then `done(result)` (or `done()`) here. False, and nothing runs,
    // once the group is shut down. Both must be copyable.
    template <class Work, class Done> bool runThenCallback(Work work, Done done) {
        if (!accepting()) return false;
        start([this, work = std::move(work), done = std::move(done)]() mutable {
            if (!accepting()) return deliver({});
            if constexpr (std::is_void_v<std::invoke_result_t<Work&>>) {
                work();
                deliver(std::move(done));
            } else {
                deliver([done = std::move(done), result = work()]() mutable {
                    done(std::move(result));
                });
            }
        });
        return true;
    }
    template <class Work> bool run(Work work) {
        return runThenCallback(std::move(work), [] {});
    }

    // Waits at most `limit` for the work given so far, then hands what ended to its callbacks
    // now, in order. True when nothing is left running.
    bool finish(std::chrono::milliseconds limit);
    // Accepts no more work, skips what has not started, waits at most `limit` for what runs and
    // drops every result. True when nothing is left running.
    bool shutDown(std::chrono::milliseconds limit);
    // No work given is waiting, running or has its result still to come back.
    bool idle() const { return mOutstanding == 0; }

private:
    enum class State { Open, ShutDown };

    bool accepting() const { return mState == State::Open; }
    void start(std::function<void()> task);
    // From a worker: `callback` runs here unless the group is shut down by then.
    void deliver(std::function<void()> callback);

    std::atomic<State> mState{State::Open};
    int mOutstanding = 0;
    QThreadPool mPool;
};

} // namespace vantle
