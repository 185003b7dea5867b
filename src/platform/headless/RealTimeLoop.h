#pragma once
// The headless user-interface loop in real time: synchronised calls from worker threads wait in
// a queue until the user-interface thread serves them, and the window timers fire on the steady
// clock. Native runs and tests over real devices serve it; waiting for a worker's end serves it
// too.

#include "platform/headless/HeadlessLoop.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

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

private:
    class Thread;
    struct Pending {
        const std::function<void()>* Call;
        bool Done = false;
    };

    /// Runs the loop until `deadline` or until `done` (if given) holds.
    void Run(std::chrono::steady_clock::time_point deadline, const std::function<bool()>* done);
    /// Waits until a call is queued, `deadline` has passed or `ended` is set.
    void WaitForWork(std::chrono::steady_clock::time_point deadline, const bool* ended);

    const std::chrono::steady_clock::time_point start_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Pending*> queue_;
};

} // namespace lum::platform::headless
