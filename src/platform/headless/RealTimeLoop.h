#pragma once
// The headless user-interface loop in real time: synchronised calls from worker threads wait in
// a queue until the user-interface thread serves them, calls posted from any thread run at the
// loop's next turn without the poster waiting, and the window timers fire on the steady clock.
// Native runs and tests over real devices serve it; waiting for a worker's end serves it too.

#include "platform/headless/HeadlessLoop.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace lum::platform::headless {

/// Synchronised calls and timers served by whoever runs the loop on the user-interface thread.
class RealTimeLoop final : public HeadlessLoop {
public:
    RealTimeLoop();

    [[nodiscard]] std::unique_ptr<SyncThread> StartThread(std::function<void()> body) override;
    void Synchronize(const std::function<void()>& call) override;
    [[nodiscard]] std::uint64_t Now() const override;
    void RunFor(std::uint64_t milliseconds) override;
    bool ServeCallsUntil(const std::function<bool()>& done, std::uint64_t timeout) override;

    /// Runs the loop as RunFor does (calls, posted calls, timers) until `done` holds, looked at
    /// after every turn; a native host's main loop.
    void RunUntil(const std::function<bool()>& done);
    /// Runs the calls that are waiting now; returns how many ran.
    std::size_t ServePending();
    /// Serves calls until `done` holds (looked at after each call and every few milliseconds)
    /// or `timeout` has passed; returns whether `done` held.
    bool ServeUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    /// Serves calls for `duration`, sleeping while there are none.
    void ServeFor(std::chrono::milliseconds duration);

    /// Any thread: queues `call` to run on the user-interface thread at the loop's next turn
    /// that fires timers (RunFor, RunUntil), after the calls posted before it, as a posted
    /// message runs; returns at once. Serving calls alone (ServeUntil, ServeFor) runs none.
    void PostFromAnyThread(std::function<void()> call);

private:
    class Thread;
    struct Pending {
        const std::function<void()>* Call;
        bool Done = false;
    };

    /// Runs the loop until `deadline` or until `done` (if given) holds.
    void Run(std::chrono::steady_clock::time_point deadline, const std::function<bool()>* done);
    /// Runs the calls posted from other threads so far; answers whether there were any.
    bool RunPostedFromThreads();
    /// Waits until a call is queued (or, with `posted`, posted from a thread), `deadline` has
    /// passed or `ended` is set.
    void WaitForWork(std::chrono::steady_clock::time_point deadline, const bool* ended,
                     bool posted = false);

    const std::chrono::steady_clock::time_point start_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Pending*> queue_;
    std::vector<std::function<void()>> postedFromThreads_; ///< guarded by mutex_
};

} // namespace lum::platform::headless
