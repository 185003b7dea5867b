#pragma once
// The control signals a tool takes itself (POSIX): SIGINT, SIGTERM and SIGHUP. They are blocked
// in every thread from the very start and taken in one place, so that none waits unseen while
// the tool sets up: a thread of their own, or an event loop that waits for them on Signals()
// (sigwait, signalfd) and hands each to Dispatch. A signal without a handler ends the process as
// it would have ended it unblocked.

#include <csignal>
#include <functional>
#include <initializer_list>
#include <memory>

namespace lum::tools {

/// The blocked control signals and what each of them does.
class SignalWatch {
public:
    /// Blocks the signals in the calling thread. Construct it first in main, before any other
    /// thread starts, so that every thread inherits the blocked signals.
    SignalWatch();

    /// The blocked signals, for a loop that takes them itself.
    [[nodiscard]] const sigset_t& Signals() const;
    /// From now on each of `signals` runs `handler`, on the thread that takes it.
    void Handle(std::initializer_list<int> signals, std::function<void()> handler);
    /// Acts on `signal`, one of Signals(): runs its handler, or ends the process by it.
    void Dispatch(int signal) const;
    /// Starts a thread named `name` that takes the signals for the rest of the process's life.
    void StartThread(const char* name) const;

private:
    struct State;
    std::shared_ptr<State> state_; ///< shared with the thread, which outlives any scope
};

} // namespace lum::tools
