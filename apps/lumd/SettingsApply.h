#pragma once
// The plug-in's settings in lumd: read with the plug-in's own file reader. The driver's apply
// seam (driver/SettingsApply.h) applies them: at start as the plug-in's start-up does, on a
// reread as the configuration dialog's "OK" does.

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

} // namespace lum::lumd
