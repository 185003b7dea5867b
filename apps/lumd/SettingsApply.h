#pragma once
// The plug-in's settings in lumd: read with the plug-in's own file reader, and applied to the
// display driver as the plug-in applies them: at start as its start-up does, on a reread as the
// configuration dialog's "OK" does. The set rotation runs on a timer of lumd's own, as the
// dialog's rotation timer does.

#include "driver/DisplayDriver.h"
#include "platform/Ui.h"
#include "settings/Settings.h"

#include <string>
#include <variant>

namespace lum::lumd {

/// Why a settings file cannot be used: the plug-in's message with the cause, for the log.
struct SettingsProblem {
    std::string Message;
};

/// The values of the settings file at `path` as read (neither clamped nor mapped), or why it
/// cannot be used (missing, damaged, write-protected: the plug-in opens it for writing too).
[[nodiscard]] std::variant<Settings, SettingsProblem> ReadSettingsFile(const std::string& path);

/// The start values with the display switched on: what lumd runs with without a settings file.
[[nodiscard]] Settings StartValuesSwitchedOn();

/// The rate the dialog's "Baudrate" box shows for `settings`: its entry, "9600" with none.
[[nodiscard]] std::string BaudRateText(const Settings& settings);

/// The plug-in's start-up: `asRead` stored into `live`, the rotation timer set, the line opened
/// with the port, rate and refresh interval as read, then the display switched on or off.
void ApplyAtStart(const Settings& asRead, Settings& live, DisplayDriver& driver,
                  platform::Timer& rotation);

/// The dialog's "OK" on reread values: `asRead` stored into `live`, the rotation timer set as
/// the dialog's field sets it, the line applied, then the display's state. Raises what the
/// driver raises (an initialisation command that is no number).
void ApplyReread(const Settings& asRead, Settings& live, DisplayDriver& driver,
                 platform::Timer& rotation);

/// One tick of the rotation timer: the next text set.
void RotationStep(Settings& live, const platform::Timer& rotation);

} // namespace lum::lumd
