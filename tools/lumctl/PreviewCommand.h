#pragma once
// lumctl preview: runs refresh ticks of the display engine against a simulated host player and
// hands over each frame the display would be sent, so that a user sees the display without
// hardware.

#include "platform/Clock.h"
#include "settings/Settings.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lum::tools {

/// What the preview simulates, from its command-line options.
struct PreviewOptions {
    std::optional<std::string> SettingsFile; ///< start values when absent
    std::int32_t Ticks = 1;
    std::string Title;
    std::string File;
    std::int32_t PlayState = 0; ///< the host's answer: 0 stopped, 1 playing, 3 paused
    std::int32_t PositionMs = 0;
    std::int32_t LengthS = 0;
    std::int32_t PlaylistPos = 0;
    std::optional<platform::LocalDateTime> Now; ///< the real clock when absent
    std::int32_t ActiveSet = 1;                 ///< the set shown first: 1-4, or 5 for none
    bool Banner = false;
    std::int32_t RotateEvery = 0;         ///< a rotation step after every that many ticks; 0 = none
    std::vector<std::string> Assignments; ///< "Name=value", applied on top of the settings
};

/// Runs the ticks with `settings` (the --settings file or the start values, with the --set
/// assignments applied) and hands `onFrame` the frame of each tick as soon as it is made, so
/// that memory stays flat for any number of ticks. Raises the engine's errors, such as a tag
/// that cannot be read.
void RunPreview(const PreviewOptions& options, const Settings& settings,
                const std::function<void(const std::string&)>& onFrame);

} // namespace lum::tools
