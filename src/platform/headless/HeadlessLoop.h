#pragma once
// The loop of a user-interface thread without a screen: it serves the synchronised calls of
// worker threads and fires the headless windows' timers, on a clock of its own. RealTimeLoop
// runs on the steady clock (native runs); VirtualUiLoop on a virtual clock that tests advance.

#include "platform/SyncCalls.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace lum::platform::headless {

/// The window timers a loop fires; the headless windowing layer is one.
class TimerQueue {
public:
    virtual ~TimerQueue() = default;

    /// The earliest time at which a timer is due, if any.
    [[nodiscard]] virtual std::optional<std::uint64_t> NextDue() const = 0;
    /// Fires the timer due earliest, if one is due at `now`.
    virtual void FireNext(std::uint64_t now) = 0;
};

/// A user-interface thread's loop.
class HeadlessLoop : public SyncCalls {
public:
    /// Milliseconds on the loop's clock.
    [[nodiscard]] virtual std::uint64_t Now() const = 0;
    /// User-interface thread: lets `milliseconds` pass serving calls and firing timers, as a
    /// (nested) message loop does.
    virtual void RunFor(std::uint64_t milliseconds) = 0;
    /// User-interface thread: serves synchronised calls, and fires no timer, until `done` holds
    /// or `timeout` milliseconds have passed; answers whether `done` held.
    virtual bool ServeCallsUntil(const std::function<bool()>& done, std::uint64_t timeout) = 0;

    /// The timers the loop fires from now on (null: none); they must outlive their use here.
    void SetTimerQueue(TimerQueue* queue) { timers_ = queue; }

    /// User-interface thread: runs `call` at the loop's next turn that fires timers, as a
    /// posted message runs.
    void Post(std::function<void()> call) { posted_.push_back(std::move(call)); }

protected:
    /// Runs the calls posted so far; answers whether there were any.
    bool RunPosted() {
        if (posted_.empty()) {
            return false;
        }
        std::vector<std::function<void()>> calls;
        calls.swap(posted_);
        for (const auto& call : calls) {
            call();
        }
        return true;
    }

    TimerQueue* timers_ = nullptr;

private:
    std::vector<std::function<void()>> posted_;
};

} // namespace lum::platform::headless
