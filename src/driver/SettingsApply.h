#pragma once
// The apply seam above the display driver: settings applied at start-up, by the dialog's "OK"
// and on a reread (lumd's SIGHUP), the only place that knows the order of the steps (the values
// stored, the set rotation set, the line opened, the display switched on or off). It owns the
// set rotation, on its host's DriverTimer::Rotation. What is the program's own (its windows, the
// dialog's fields) stays with the program, before or after the call.

#include "driver/DisplayDriver.h"
#include "driver/DriverHost.h"
#include "settings/Settings.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace lum {

/// The occasion settings are applied on.
enum class ApplyOccasion {
    /// The settings file read at start: the values stored, the rotation set, the line opened
    /// with the port, rate and refresh interval as read, then the display switched on or off.
    StartUp,
    /// The dialog's "OK" on the values it edited in place (nothing is stored): the line
    /// applied and the refresh started, then the dialog's text and the display's state.
    DialogOk,
    /// The file read again: the values stored, the rotation set, then as the dialog's "OK".
    Reread,
};

/// Applies settings to a display driver, and runs the set rotation.
class SettingsApply {
public:
    /// Applies to `driver` the values of `live`, the program's one Settings record; the rotation
    /// runs on `host`'s rotation timer. All three must outlive the seam.
    SettingsApply(DriverHost& host, DisplayDriver& driver, Settings& live);
    /// Stops the rotation.
    ~SettingsApply();
    SettingsApply(const SettingsApply&) = delete;
    SettingsApply& operator=(const SettingsApply&) = delete;

    /// Applies `asRead` (values as read, neither clamped nor mapped; for DialogOk the live
    /// values) on occasion `how`. `baudRate` is the line's rate, one of kBaudRates; none keeps
    /// the line's rate. Raises "'%s' ist kein gültiger Integerwert" for an InitCommand that is
    /// no number (DialogOk, Reread).
    void Apply(const Settings& asRead, ApplyOccasion how, std::optional<std::uint32_t> baudRate);

    /// The rotation follows SetChangeSeconds: running every SetChangeSeconds s, or stopped at 0.
    void FollowSetChangeSeconds();
    /// Whether the rotation's timer is running.
    [[nodiscard]] bool RotationRunning() const { return rotation_.Enabled(); }
    /// What follows every change of the active set: while the rotation is stopped, a 5 (one
    /// past the last set) becomes 4.
    void KeepActiveSetShown();

    /// Hears that the rotation has moved the active set on.
    std::function<void()> OnSetRotated;

private:
    void OnRotationTick();

    DisplayDriver& driver_;
    Settings& live_;
    platform::Timer& rotation_;
};

} // namespace lum
