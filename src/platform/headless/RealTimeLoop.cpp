#include "platform/headless/RealTimeLoop.h"

#include <algorithm>
#include <thread>

namespace lum::platform::headless {

/// A worker whose end sets a flag under the loop's lock, so WaitFor wakes for it.
class RealTimeLoop::Thread final : public SyncThread {
public:
    Thread(RealTimeLoop& loop, std::function<void()> body) : loop_(loop) {
        thread_ = std::thread([this, body = std::move(body)] {
            body();
            const std::lock_guard lock(loop_.mutex_);
            ended_ = true;
            loop_.changed_.notify_all();
        });
    }

    ~Thread() override {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    void WaitFor() override {
        for (;;) {
            loop_.ServePending();
            {
                const std::lock_guard lock(loop_.mutex_);
                if (ended_ && loop_.queue_.empty()) {
                    break;
                }
            }
            loop_.WaitForWork(std::chrono::steady_clock::time_point::max(), &ended_);
        }
        thread_.join();
    }

private:
    RealTimeLoop& loop_;
    bool ended_ = false; ///< guarded by the loop's mutex
    std::thread thread_;
};

RealTimeLoop::RealTimeLoop() : start_(std::chrono::steady_clock::now()) {}

std::unique_ptr<SyncThread> RealTimeLoop::StartThread(std::function<void()> body) {
    return std::make_unique<Thread>(*this, std::move(body));
}

void RealTimeLoop::Synchronize(const std::function<void()>& call) {
    Pending pending{&call};
    std::unique_lock lock(mutex_);
    queue_.push_back(&pending);
    // Woken after the lock is let go, so the loop's thread does not wake only to wait for it.
    lock.unlock();
    changed_.notify_all();
    lock.lock();
    changed_.wait(lock, [&] { return pending.Done; });
}

std::size_t RealTimeLoop::ServePending() {
    std::size_t served = 0;
    for (;;) {
        Pending* pending = nullptr;
        {
            const std::lock_guard lock(mutex_);
            if (queue_.empty()) {
                return served;
            }
            pending = queue_.front();
            queue_.pop_front();
        }
        (*pending->Call)();
        ++served;
        {
            const std::lock_guard lock(mutex_);
            pending->Done = true;
        }
        changed_.notify_all();
    }
}

void RealTimeLoop::PostFromAnyThread(std::function<void()> call) {
    {
        const std::lock_guard lock(mutex_);
        postedFromThreads_.push_back(std::move(call));
    }
    changed_.notify_all();
}

bool RealTimeLoop::RunPostedFromThreads() {
    std::vector<std::function<void()>> calls;
    {
        const std::lock_guard lock(mutex_);
        calls.swap(postedFromThreads_);
    }
    for (const auto& call : calls) {
        call();
    }
    return !calls.empty();
}

void RealTimeLoop::WaitForWork(std::chrono::steady_clock::time_point deadline, const bool* ended,
                               bool posted) {
    std::unique_lock lock(mutex_);
    changed_.wait_until(lock, deadline, [&] {
        return !queue_.empty() || (ended != nullptr && *ended) ||
               (posted && !postedFromThreads_.empty());
    });
}

bool RealTimeLoop::ServeUntil(const std::function<bool()>& done,
                              std::chrono::milliseconds timeout) {
    constexpr std::chrono::milliseconds kLookInterval{5};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        ServePending();
        if (done()) {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        WaitForWork(std::min(deadline, now + kLookInterval), nullptr);
    }
}

std::uint64_t RealTimeLoop::Now() const {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - start_)
                                          .count());
}

void RealTimeLoop::RunFor(std::uint64_t milliseconds) {
    Run(std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds), nullptr);
}

void RealTimeLoop::RunUntil(const std::function<bool()>& done) {
    Run(std::chrono::steady_clock::time_point::max(), &done);
}

void RealTimeLoop::Run(std::chrono::steady_clock::time_point deadline,
                       const std::function<bool()>* done) {
    for (;;) {
        ServePending();
        if (RunPosted() || RunPostedFromThreads()) {
            continue;
        }
        if ((done != nullptr && (*done)()) || std::chrono::steady_clock::now() >= deadline) {
            return;
        }
        const std::optional<std::uint64_t> due =
            timers_ != nullptr ? timers_->NextDue() : std::nullopt;
        if (due && *due <= Now()) {
            timers_->FireNext(Now());
            continue;
        }
        WaitForWork(due ? std::min(deadline, start_ + std::chrono::milliseconds(*due)) : deadline,
                    nullptr, true);
    }
}

bool RealTimeLoop::ServeCallsUntil(const std::function<bool()>& done, std::uint64_t timeout) {
    return ServeUntil(done, std::chrono::milliseconds(timeout));
}

void RealTimeLoop::ServeFor(std::chrono::milliseconds duration) {
    const auto deadline = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < deadline) {
        ServePending();
        WaitForWork(deadline, nullptr);
    }
    ServePending();
}

} // namespace lum::platform::headless

namespace lum::platform {

std::unique_ptr<SyncCalls> CreateUiThreadCalls() {
    return std::make_unique<headless::RealTimeLoop>();
}

} // namespace lum::platform
