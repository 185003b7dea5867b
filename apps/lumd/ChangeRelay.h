#pragma once
// A player's change, told on the player's own thread, carried to the user-interface thread
// without the player waiting: changes that come while one is on its way count as that one.

#include "apps/lumd/EventLoop.h"

#include <atomic>
#include <functional>

namespace lum::lumd {

/// Carries change notices from any thread to one handler on the loop's thread.
class ChangeRelay {
public:
    explicit ChangeRelay(EventLoop& loop) : loop_(loop) {}

    /// The loop's thread, before the loop runs: what runs for each notice (none: nothing).
    void SetHandler(std::function<void()> handler) { handler_ = std::move(handler); }
    /// Any thread: the handler runs at the loop's next turn, once for all notices until then.
    void Notify();

private:
    EventLoop& loop_;
    std::function<void()> handler_;
    std::atomic<bool> pending_ = false;
};

} // namespace lum::lumd
