#pragma once
// The signals lumd acts on: SIGINT and SIGTERM quit, SIGHUP rereads the settings. They are
// blocked in every thread and taken by one thread of their own, which is started before anything
// can block: a quit before the display has started ends the process at once (nothing was sent
// yet, and the main thread may be waiting for a server); once the display runs, it goes to the
// user-interface thread, which sends the blank frame.

#include <csignal>
#include <functional>
#include <mutex>

namespace lum::lumd {

/// SIGINT, SIGTERM and SIGHUP, blocked in the calling thread; call before any thread starts,
/// so that every thread inherits the mask.
[[nodiscard]] sigset_t BlockControlSignals();

/// Where a quit goes: straight to the process's end until the display runs, then to the loop.
class QuitRoute {
public:
    /// From now on a quit runs `quit` (which must not wait for the loop).
    void Arm(std::function<void()> quit);
    /// Ends the process with exit code 0 while not armed; runs the armed quit otherwise.
    void Quit();

private:
    std::mutex mutex_;
    std::function<void()> quit_;
};

/// Starts the thread that takes `signals` (as BlockControlSignals gave them) for the rest of
/// the process's life: SIGINT and SIGTERM go to `route`, SIGHUP to `reread`.
void StartSignalThread(const sigset_t& signals, QuitRoute& route, std::function<void()> reread);

} // namespace lum::lumd
