#include "apps/lumd/EventLoop.h"

#include "common/LumError.h"
#include "platform/TimerBase.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <optional>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>

namespace lum::lumd {

/// A timer on the loop's clock.
class EventLoop::LoopTimer final : public platform::TimerBase {
public:
    LoopTimer(EventLoop& loop, std::string_view name) : TimerBase(name, 0, false), loop_(loop) {}

    /// Enabled, with an interval, and not inside its own tick.
    [[nodiscard]] bool Waiting() const { return Ticks() && !ticking_; }
    [[nodiscard]] std::uint64_t Due() const { return due_; }

    /// Ticks, the next countdown running from `now`; a tick that outlasted the interval is
    /// followed by one tick at once, and one that restarted its timer keeps that restart.
    void Fire(std::uint64_t now) {
        due_ = now + Interval();
        const std::uint64_t restarts = restarts_;
        ticking_ = true;
        if (OnTimer) {
            loop_.Dispatch(OnTimer);
        }
        ticking_ = false;
        if (restarts_ == restarts && due_ < loop_.Now()) {
            due_ = loop_.Now();
        }
    }

private:
    void Restart() override {
        due_ = loop_.Now() + Interval();
        ++restarts_;
    }

    EventLoop& loop_;
    bool ticking_ = false;
    std::uint64_t due_ = 0;
    std::uint64_t restarts_ = 0; ///< counts restarts, so a tick can tell whether it set one
};

EventLoop::EventLoop(ErrorHandler onError)
    : onError_(std::move(onError)), start_(Clock::now()), epoll_(::epoll_create1(EPOLL_CLOEXEC)),
      wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    epoll_event event{.events = EPOLLIN, .data = {.fd = wake_}};
    if (epoll_ < 0 || wake_ < 0 || ::epoll_ctl(epoll_, EPOLL_CTL_ADD, wake_, &event) != 0) {
        const int error = errno;
        ::close(epoll_);
        ::close(wake_);
        throw std::system_error(error, std::generic_category(), "the event loop");
    }
}

EventLoop::~EventLoop() {
    ::close(wake_);
    ::close(epoll_);
}

platform::Timer& EventLoop::AddTimer(std::string_view name) {
    return *timers_.emplace_back(std::make_unique<LoopTimer>(*this, name));
}

bool EventLoop::Watch(int fd, ReadyHandler onReady) {
    epoll_event event{.events = EPOLLIN, .data = {.fd = fd}};
    if (::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) != 0) {
        return false;
    }
    watched_[fd] = std::make_shared<ReadyHandler>(std::move(onReady));
    return true;
}

void EventLoop::WatchWritable(int fd, bool writable) {
    epoll_event event{.events = EPOLLIN | (writable ? EPOLLOUT : 0u), .data = {.fd = fd}};
    if (watched_.contains(fd)) {
        ::epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &event);
    }
}

void EventLoop::Unwatch(int fd) {
    if (watched_.erase(fd) > 0) {
        ::epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
    }
}

void EventLoop::Post(std::function<void()> call) {
    {
        const std::lock_guard lock(mutex_);
        posted_.push_back(std::move(call));
    }
    const std::uint64_t one = 1;
    // A full counter (never reached) still leaves the descriptor readable: no wake-up is lost.
    [[maybe_unused]] const auto written = ::write(wake_, &one, sizeof one);
}

void EventLoop::Dispatch(const std::function<void()>& event) noexcept {
    try {
        try {
            event();
        } catch (const std::exception& error) {
            onError_(error.what());
        } catch (...) {
            onError_(messages::kUnknownError);
        }
    } catch (...) {
        // Reporting failed as well (out of memory): the event still ends here.
    }
}

void EventLoop::RunUntil(const std::function<bool()>& done) {
    stopped_ = false;
    while (!stopped_ && !done()) {
        const bool ran = RunPosted();
        for (const std::uint64_t now = Now(); FireDueTimer(now);) {
        }
        if (stopped_ || done()) {
            return;
        }
        WaitForEvents(ran ? 0 : MillisecondsToNextTimer());
    }
}

bool EventLoop::RunPosted() {
    // Consumed before the calls are taken: a call posted after this wakes the next wait.
    if (std::exchange(woken_, false)) {
        std::uint64_t count = 0;
        [[maybe_unused]] const auto read = ::read(wake_, &count, sizeof count);
    }
    std::vector<std::function<void()>> calls;
    {
        const std::lock_guard lock(mutex_);
        calls.swap(posted_);
    }
    for (const auto& call : calls) {
        Dispatch(call);
    }
    return !calls.empty();
}

bool EventLoop::FireDueTimer(std::uint64_t now) {
    LoopTimer* next = nullptr;
    for (const auto& timer : timers_) {
        if (timer->Waiting() && timer->Due() <= now &&
            (next == nullptr || timer->Due() < next->Due())) {
            next = timer.get();
        }
    }
    if (next == nullptr) {
        return false;
    }
    next->Fire(Now());
    return true;
}

int EventLoop::MillisecondsToNextTimer() const {
    std::optional<std::uint64_t> due;
    for (const auto& timer : timers_) {
        if (timer->Waiting() && (!due || timer->Due() < *due)) {
            due = timer->Due();
        }
    }
    if (!due) {
        return -1;
    }
    const std::uint64_t now = Now();
    return *due <= now ? 0 : static_cast<int>(std::min<std::uint64_t>(*due - now, 60'000));
}

void EventLoop::WaitForEvents(int timeoutMs) {
    epoll_event events[8];
    const int ready = ::epoll_wait(epoll_, events, static_cast<int>(std::size(events)), timeoutMs);
    for (int i = 0; i < ready; ++i) {
        // A handler may unwatch its own or another descriptor: each is looked up afresh.
        if (events[i].data.fd == wake_) {
            woken_ = true; // the posted calls run at the next turn
            continue;
        }
        const auto found = watched_.find(events[i].data.fd);
        if (found == watched_.end()) {
            continue;
        }
        const std::shared_ptr<ReadyHandler> handler = found->second;
        const std::uint32_t what = events[i].events;
        Dispatch([&] { (*handler)(what); });
    }
}

bool EventLoop::WaitUntil(const std::function<bool()>& done, std::uint32_t timeoutMs) {
    constexpr std::chrono::milliseconds kLookInterval{5};
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (done()) {
            return true;
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(deadline - now, kLookInterval));
    }
}

std::uint64_t EventLoop::Now() const {
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count());
}

} // namespace lum::lumd
