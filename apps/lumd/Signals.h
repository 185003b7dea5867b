#pragma once
// Where lumd's quit signals go (SIGINT and SIGTERM, taken by the tools' signal watch): a quit
// before the display has started ends the process at once (nothing was sent yet, and the main
// thread may be waiting for a server); once the display runs, it goes to the user-interface
// thread, which sends the blank frame.

#include <functional>
#include <mutex>

namespace lum::lumd {

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

} // namespace lum::lumd
