#pragma once
// Whether the display's device can be opened now: lumd waits for a device that is not there yet
// (a USB adapter not plugged in) and refuses anything that can never be a display's line.

#include <string>

namespace lum::lumd {

/// What a look at the device found.
enum class DeviceState {
    Ready,   ///< a tty that is free to open
    Missing, ///< nothing there yet, or a device node without its device
    Refused, ///< no tty (a file, a folder, /dev/null), no permission, or in use
};

/// The state with the reason for the user; the reason is empty when ready.
struct DeviceCheck {
    DeviceState State = DeviceState::Ready;
    std::string Reason{};
};

/// Opens `path` without waiting and without making it the controlling terminal, and closes it
/// again: a tty that no other program holds (neither exclusively nor by its lock) is ready.
[[nodiscard]] DeviceCheck CheckDevice(const std::string& path);

} // namespace lum::lumd
