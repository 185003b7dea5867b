#pragma once
// A user-interface loop on virtual time for deterministic tests: one clock for the headless
// window timers, the synchronised calls and the scripted comm layer. Worker threads started
// through it run only while the user-interface (test) thread yields to the loop, and then
// until each of them blocks again (in Block, in a synchronised call, or at its end), so the
// two never run at the same time and every run gives the same order of steps. Virtual time
// moves only when every worker is blocked and no call or timer is waiting: straight to the next
// deadline or timer.

#include "platform/headless/HeadlessLoop.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace lum::platform::virtualtime {

/// Synchronised calls and virtual time, stepped by the thread that created the loop.
class VirtualUiLoop final : public headless::HeadlessLoop {
public:
    VirtualUiLoop();
    ~VirtualUiLoop() override;
    VirtualUiLoop(const VirtualUiLoop&) = delete;
    VirtualUiLoop& operator=(const VirtualUiLoop&) = delete;

    [[nodiscard]] std::unique_ptr<SyncThread> StartThread(std::function<void()> body) override;
    void Synchronize(const std::function<void()>& call) override;

    /// Virtual milliseconds since the loop was made.
    [[nodiscard]] std::uint64_t Now() const override;
    /// True on the thread that created the loop.
    [[nodiscard]] bool OnUiThread() const { return std::this_thread::get_id() == uiThread_; }

    /// User-interface thread: lets `milliseconds` of virtual time pass, serving synchronised
    /// calls and firing timers, and returns when every worker is blocked at the new time.
    void RunFor(std::uint64_t milliseconds) override;
    bool ServeCallsUntil(const std::function<bool()>& done, std::uint64_t timeout) override;
    /// User-interface thread: like RunFor, but serving no calls (a plain Sleep); stops early
    /// when `ready` (if given) holds. Returns whether it held.
    bool Pause(std::uint64_t milliseconds, const std::function<bool()>* ready = nullptr);

    /// Worker thread: blocks until `ready` (if given) holds or virtual time reaches `deadline`
    /// (if given), in a turn of the user-interface thread. Returns whether `ready` held.
    bool Block(const std::function<bool()>* ready, std::optional<std::uint64_t> deadline);

private:
    class Thread;
    enum class Phase { Running, Blocked, InCall, Ended };
    struct Worker {
        Phase State = Phase::Running;
        const std::function<bool()>* Ready = nullptr;
        std::optional<std::uint64_t> Deadline;
        bool WokeReady = false;
    };
    struct Pending {
        const std::function<void()>* Call;
        Worker* Caller;
        bool Done = false;
    };

    /// What a turn of the user-interface thread does besides letting workers run.
    enum class Serve { Nothing, Calls, CallsAndTimers };

    void Run(Serve serve, std::optional<std::uint64_t> target, const std::function<bool()>* until,
             std::unique_lock<std::mutex>& lock);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t now_ = 0;
    std::list<Worker> workers_;
    std::deque<Pending*> queue_;
    std::thread::id uiThread_;
};

} // namespace lum::platform::virtualtime
