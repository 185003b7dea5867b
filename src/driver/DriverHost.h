#pragma once
// What the display driver needs of the program it runs in: its timers, by role, and a bounded
// wait for the line's events. The program decides where a timer lives (the plug-in: its windows,
// with the names they always had; lumd: its own loop) and what becomes of an error a tick raises
// (the plug-in: an error message box; lumd: its log). Everything runs on the program's
// user-interface thread.

#include "platform/Timer.h"

#include <cstdint>
#include <functional>

namespace lum {

/// The timers of the display driver and of the settings applied to it.
enum class DriverTimer {
    InitCommand,   ///< start sequence step 1: the initialisation byte, 1000 ms after DTR
    StartLineFeed, ///< start sequence step 2: CR LF 250 ms later, then refresh and banner
    Refresh,       ///< the refresh tick, every UpdateInterval ms
    BannerEnd,     ///< the end of the 4000 ms banner period
    Reconnect,     ///< opening the port again after its device went away
    Rotation,      ///< the set rotation, every SetChangeSeconds (the apply seam's)
    Count
};

/// The program a display driver runs in.
class DriverHost {
public:
    virtual ~DriverHost() = default;

    /// The timer of `role`: the same timer at every call, stopped until its user starts it. Its
    /// user binds OnTimer and sets the interval; the host outlives the user's use of it.
    [[nodiscard]] virtual platform::Timer& Timer(DriverTimer role) = 0;

    /// Serves the line's events (and no other event) until `done` holds or `timeoutMs`
    /// milliseconds have passed; answers whether `done` held.
    virtual bool WaitUntil(const std::function<bool()>& done, std::uint32_t timeoutMs) = 0;
};

} // namespace lum
