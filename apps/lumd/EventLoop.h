#pragma once
// lumd's one loop: everything of the display (the driver's timers, the line's reports, standard
// input, the signals, the players' changes) runs on the thread that runs it. It sleeps in
// epoll_wait on the descriptors it watches and on one eventfd that other threads post calls
// through, until the next timer is due; nothing wakes it on a beat of its own.
//
// Timers tick as the windowing layer's do: every Interval milliseconds while enabled, the next
// countdown from the tick, a tick that outlasted its interval followed by one tick, not a burst.
// An exception raised by a tick, a descriptor's handler or a posted call goes to the error
// handler (the message text), as the plug-in shows it in a message box, and the loop goes on.

#include "platform/Timer.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

namespace lum::lumd {

/// A loop over descriptors, timers and calls posted from other threads.
class EventLoop {
public:
    /// Hears the text of each exception a handler raised.
    using ErrorHandler = std::function<void(std::string_view)>;
    /// Hears that a watched descriptor is ready (epoll's events).
    using ReadyHandler = std::function<void(std::uint32_t events)>;

    /// Raises std::system_error when epoll or the eventfd cannot be had.
    explicit EventLoop(ErrorHandler onError);
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    /// A new stopped timer named `name`; it lives as long as the loop.
    [[nodiscard]] platform::Timer& AddTimer(std::string_view name);

    /// Calls `onReady` whenever `fd` is ready for reading (until Unwatch); false when the
    /// descriptor cannot be watched (a regular file or /dev/null, which are always ready).
    [[nodiscard]] bool Watch(int fd, ReadyHandler onReady);
    /// Also calls the handler of the watched `fd` whenever it is ready for writing, or no longer.
    void WatchWritable(int fd, bool writable);
    /// Stops watching `fd`; its handler is not called again.
    void Unwatch(int fd);

    /// Any thread: runs `call` at the loop's next turn, after the calls posted before it,
    /// without the poster waiting.
    void Post(std::function<void()> call);

    /// Runs `event` now, handing an exception it raises to the error handler.
    void Dispatch(const std::function<void()>& event) noexcept;

    /// Runs the loop until `done` holds (looked at after every turn) or Stop is called.
    void RunUntil(const std::function<bool()>& done);
    /// Ends RunUntil after the current turn.
    void Stop() { stopped_ = true; }

    /// Waits until `done` holds or `timeoutMs` milliseconds have passed, looking every few
    /// milliseconds and running nothing meanwhile: timers, descriptors and posted calls wait for
    /// the loop's next turn. Answers whether `done` held.
    bool WaitUntil(const std::function<bool()>& done, std::uint32_t timeoutMs);

    /// Milliseconds since the loop was made, on the steady clock.
    [[nodiscard]] std::uint64_t Now() const;

private:
    class LoopTimer;
    using Clock = std::chrono::steady_clock;

    /// Runs the calls posted so far; answers whether there were any.
    bool RunPosted();
    /// Fires the timer due earliest when one is due at `now`; answers whether one fired.
    bool FireDueTimer(std::uint64_t now);
    /// Milliseconds until the next timer is due (0 when one is), -1 when none runs.
    [[nodiscard]] int MillisecondsToNextTimer() const;
    /// Sleeps in epoll_wait for at most `timeoutMs` and serves the descriptors that are ready.
    void WaitForEvents(int timeoutMs);

    ErrorHandler onError_;
    const Clock::time_point start_;
    int epoll_ = -1;
    int wake_ = -1;      ///< an eventfd, readable while calls are posted
    bool woken_ = false; ///< the last wait saw the eventfd readable
    std::vector<std::unique_ptr<LoopTimer>> timers_;
    std::map<int, std::shared_ptr<ReadyHandler>> watched_;
    std::mutex mutex_;
    std::vector<std::function<void()>> posted_; ///< guarded by mutex_
    bool stopped_ = false;
};

} // namespace lum::lumd
