#include "support/VirtualUiLoop.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace lum::platform::virtualtime {
namespace {
thread_local void* currentWorker = nullptr;
} // namespace

/// A worker of the loop: starts blocked, so it first runs when the test thread yields.
class VirtualUiLoop::Thread final : public SyncThread {
public:
    Thread(VirtualUiLoop& loop, Worker& worker, std::function<void()> body)
        : loop_(loop), worker_(worker) {
        thread_ = std::thread([this, body = std::move(body)] {
            currentWorker = &worker_;
            const std::function<bool()> always = [] { return true; };
            loop_.Block(&always, std::nullopt);
            body();
            const std::lock_guard lock(loop_.mutex_);
            worker_.State = Phase::Ended;
            loop_.changed_.notify_all();
        });
    }

    ~Thread() override {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    void WaitFor() override {
        {
            const std::function<bool()> ended = [this] { return worker_.State == Phase::Ended; };
            std::unique_lock lock(loop_.mutex_);
            loop_.Run(Serve::Calls, std::nullopt, &ended, lock);
        }
        thread_.join();
        const std::lock_guard lock(loop_.mutex_);
        loop_.workers_.remove_if([this](const Worker& worker) { return &worker == &worker_; });
    }

private:
    VirtualUiLoop& loop_;
    Worker& worker_;
    std::thread thread_;
};

VirtualUiLoop::VirtualUiLoop() : uiThread_(std::this_thread::get_id()) {}

VirtualUiLoop::~VirtualUiLoop() = default;

std::unique_ptr<SyncThread> VirtualUiLoop::StartThread(std::function<void()> body) {
    Worker* worker = nullptr;
    {
        const std::lock_guard lock(mutex_);
        worker = &workers_.emplace_back();
    }
    return std::make_unique<Thread>(*this, *worker, std::move(body));
}

void VirtualUiLoop::Synchronize(const std::function<void()>& call) {
    if (OnUiThread()) {
        call();
        return;
    }
    auto* worker = static_cast<Worker*>(currentWorker);
    Pending pending{&call, worker};
    std::unique_lock lock(mutex_);
    queue_.push_back(&pending);
    worker->State = Phase::InCall;
    changed_.notify_all();
    changed_.wait(lock, [&] { return pending.Done; });
}

std::uint64_t VirtualUiLoop::Now() const {
    const std::lock_guard lock(mutex_);
    return now_;
}

void VirtualUiLoop::RunFor(std::uint64_t milliseconds) {
    std::unique_lock lock(mutex_);
    Run(Serve::CallsAndTimers, now_ + milliseconds, nullptr, lock);
}

bool VirtualUiLoop::ServeCallsUntil(const std::function<bool()>& done, std::uint64_t timeout) {
    {
        std::unique_lock lock(mutex_);
        Run(Serve::Calls, now_ + timeout, &done, lock);
    }
    return done();
}

bool VirtualUiLoop::Pause(std::uint64_t milliseconds, const std::function<bool()>* ready) {
    std::unique_lock lock(mutex_);
    Run(Serve::Nothing, now_ + milliseconds, ready, lock);
    return ready != nullptr && (*ready)();
}

bool VirtualUiLoop::Block(const std::function<bool()>* ready,
                          std::optional<std::uint64_t> deadline) {
    auto* worker = static_cast<Worker*>(currentWorker);
    std::unique_lock lock(mutex_);
    worker->State = Phase::Blocked;
    worker->Ready = ready;
    worker->Deadline = deadline;
    worker->WokeReady = false;
    changed_.notify_all();
    changed_.wait(lock, [&] { return worker->State == Phase::Running; });
    worker->Ready = nullptr;
    return worker->WokeReady;
}

void VirtualUiLoop::Run(Serve serve, std::optional<std::uint64_t> target,
                        const std::function<bool()>* until, std::unique_lock<std::mutex>& lock) {
    for (;;) {
        changed_.wait(lock, [&] {
            return std::none_of(workers_.begin(), workers_.end(),
                                [](const Worker& w) { return w.State == Phase::Running; });
        });
        bool released = false;
        for (Worker& worker : workers_) {
            if (worker.State != Phase::Blocked) {
                continue;
            }
            const bool ready = worker.Ready != nullptr && (*worker.Ready)();
            if (ready || (worker.Deadline && *worker.Deadline <= now_)) {
                worker.WokeReady = ready;
                worker.State = Phase::Running;
                released = true;
            }
        }
        if (released) {
            changed_.notify_all();
            continue;
        }
        if (serve != Serve::Nothing && !queue_.empty()) {
            Pending* pending = queue_.front();
            queue_.pop_front();
            lock.unlock();
            (*pending->Call)();
            lock.lock();
            pending->Done = true;
            pending->Caller->State = Phase::Running;
            changed_.notify_all();
            continue;
        }
        if (serve == Serve::CallsAndTimers) {
            lock.unlock();
            const bool ran = RunPosted();
            lock.lock();
            if (ran) {
                continue;
            }
        }
        const bool fireTimers = serve == Serve::CallsAndTimers && timers_ != nullptr;
        const std::optional<std::uint64_t> timerDue =
            fireTimers ? timers_->NextDue() : std::optional<std::uint64_t>();
        // Timers due after the target wait for a later turn, even when a nested loop has
        // already carried the clock past it.
        if (timerDue && *timerDue <= now_ && (!target || *timerDue <= *target)) {
            lock.unlock();
            timers_->FireNext(now_);
            lock.lock();
            continue;
        }
        if (until != nullptr && (*until)()) {
            return;
        }
        std::optional<std::uint64_t> next = target;
        if (timerDue) {
            next = next ? std::min(*next, *timerDue) : *timerDue;
        }
        for (const Worker& worker : workers_) {
            if (worker.State == Phase::Blocked && worker.Deadline) {
                next = next ? std::min(*next, *worker.Deadline) : *worker.Deadline;
            }
        }
        if (!next) {
            std::fputs("VirtualUiLoop: waiting for something that can never happen\n", stderr);
            std::abort();
        }
        if (*next <= now_) {
            return;
        }
        now_ = *next;
    }
}

} // namespace lum::platform::virtualtime
