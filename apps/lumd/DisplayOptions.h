#pragma once
// lumd's own rules for the display, beside the plug-in's settings: the display's character set,
// the brightness, the banner, and when the display rests. The configuration file fills them, key
// by key, and the command line's options (Options.h) win over the file's:
//
//   display.charset     Charset       ascii | cp437 | cp850 | cp858 | cp1252     (cp437)
//   display.brightness  Brightness    1-4, 4 the brightest; after every start     (4)
//   display.banner      Banner        "off" | "plugin" | lines of one's own       ("plugin")
//   rest.after          RestAfterMs   minutes stopped or paused; 0 never          (10)
//   rest.blank-after    BlankAfterMs  minutes of resting screen; 0 never          (60)
//   rest.lines          RestLines     the resting screen's templates              (["%zeit"])
//
// Minutes may have a fraction (0.05 is 3 s). Texts are Windows-1252, converted from UTF-8 once
// when they are read (Utf8ToWindows1252); the display's fold applies when they are shown.

#include "common/DisplayCharset.h"
#include "display/DisplayEngine.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lum::lumd {

/// `minutes` of a rest rule (0 to a day, a fraction allowed) in milliseconds; none for a value
/// outside that range or no number.
[[nodiscard]] inline std::optional<std::uint32_t> RestMilliseconds(double minutes) {
    if (!(minutes >= 0) || minutes > 24 * 60) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(std::lround(minutes * 60'000));
}

/// lumd's own rules for the display.
struct DisplayOptions {
    /// The display's character set.
    const DisplayCharset* Charset = DisplayCharset::Find("cp437");
    /// The brightness step sent after every start sequence and on waking: 1 ("Hell 1",
    /// dimmest) to 4 ("Hell 4", brightest).
    int Brightness = 4;
    /// The banner of every start: the plug-in's, none, or lines of one's own (templates).
    std::optional<Overlay> Banner = PluginBanner();
    /// How long the player is stopped or paused before the resting screen shows, at the lowest
    /// brightness; 0: never.
    std::uint32_t RestAfterMs = 10 * 60'000;
    /// How long the resting screen shows before the display goes blank; 0: never.
    std::uint32_t BlankAfterMs = 60 * 60'000;
    /// The resting screen's lines, templates as a text set's.
    std::vector<std::string> RestLines{"%zeit"};

    friend bool operator==(const DisplayOptions&, const DisplayOptions&) = default;
};

} // namespace lum::lumd
