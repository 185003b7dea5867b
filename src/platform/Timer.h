#pragma once
// A timer that ticks on the user-interface thread: a window timer of the windowing layer
// (platform/Ui.h, whose event conventions its tick follows), or a timer of another loop. Code
// that only needs timers (the display driver) includes this and not the windowing layer.

#include <cstdint>
#include <functional>
#include <string>

namespace lum::platform {

/// A timer. It ticks every Interval milliseconds while enabled; an interval of 0 never ticks.
class Timer {
public:
    virtual ~Timer() = default;

    [[nodiscard]] virtual const std::string& Name() const = 0;
    [[nodiscard]] virtual std::uint32_t Interval() const = 0;
    /// A different interval restarts the countdown of an enabled timer; the same changes nothing.
    virtual void SetInterval(std::uint32_t milliseconds) = 0;
    [[nodiscard]] virtual bool Enabled() const = 0;
    /// Starting a stopped timer starts a full countdown; starting a running one changes nothing.
    virtual void SetEnabled(bool enabled) = 0;

    std::function<void()> OnTimer;
};

} // namespace lum::platform
