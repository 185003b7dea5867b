#pragma once
// What every window timer keeps: its name, its interval and whether it is enabled. A change
// that matters restarts the countdown; the same value changes nothing. The platforms' timers
// derive from it and say what a restart does.

#include "platform/Timer.h"

#include <string>
#include <string_view>

namespace lum::platform {

/// The state of a window timer.
class TimerBase : public Timer {
public:
    TimerBase(std::string_view name, std::uint32_t interval, bool enabled)
        : name_(name), interval_(interval), enabled_(enabled) {}

    [[nodiscard]] const std::string& Name() const final { return name_; }
    [[nodiscard]] std::uint32_t Interval() const final { return interval_; }
    [[nodiscard]] bool Enabled() const final { return enabled_; }

    void SetInterval(std::uint32_t milliseconds) final {
        if (milliseconds != interval_) {
            interval_ = milliseconds;
            Restart();
        }
    }

    void SetEnabled(bool enabled) final {
        if (enabled != enabled_) {
            enabled_ = enabled;
            Restart();
        }
    }

protected:
    /// Starts a full countdown when the timer ticks at all (Ticks), and stops it otherwise.
    virtual void Restart() = 0;
    /// Enabled with an interval above 0.
    [[nodiscard]] bool Ticks() const { return enabled_ && interval_ > 0; }

private:
    std::string name_;
    std::uint32_t interval_;
    bool enabled_;
};

} // namespace lum::platform
