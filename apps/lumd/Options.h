#pragma once
// lumd's command line:
//
//   lumd (--mpd [ADDRESS] [--music-dir DIR] | --mpris [NAME] | --playlist FILE)
//        --port DEVICE [--settings FILE] [--foreground] [--log-level LEVEL]
//        [--charset NAME] [--brightness 1-4] [--banner off|plugin] [--banner-line TEXT]...
//        [--rest-after MINUTES] [--blank-after MINUTES] [--rest-line TEXT]...
//   lumd --help
//
// One source a run: MPD at ADDRESS (see MpdAddress.h; MPD_HOST and MPD_PORT without one), the
// MPRIS player whose bus name contains NAME (the first player without one), or the simulated
// player of an extended M3U playlist. DEVICE is the display's tty; every COM port the settings
// name opens it. Without --settings the display runs with the start values, switched on. The
// rest are lumd's own rules for the display (DisplayOptions.h).

#include "apps/lumd/DisplayOptions.h"
#include "apps/lumd/Log.h"
#include "apps/lumd/MpdAddress.h"

#include <span>
#include <string>
#include <string_view>

namespace lum::lumd {

/// Where the now-playing answers come from.
enum class SourceKind { Mpd, Mpris, Playlist };

/// What the command line asks for.
struct LumdOptions {
    SourceKind Source = SourceKind::Mpd;
    MpdAddress Mpd{};
    std::string MusicDirectory{}; ///< MPD's music folder here; empty: ask the server
    std::string PlayerName{};     ///< a part of the MPRIS player's bus name; empty: any
    std::string Playlist{};
    std::string Port{};
    std::string SettingsFile{}; ///< empty: the start values, display on
    bool Foreground = false;
    LogLevel Level = LogLevel::Info;
    DisplayOptions Display{};
    bool Help = false;
};

/// The options of `arguments` (without the program's name), MPD's address completed from
/// `environment`. Raises tools::CommandLineError.
[[nodiscard]] LumdOptions ParseOptions(std::span<const std::string> arguments,
                                       const MpdEnvironment& environment);

/// The usage text, ending with a line break.
extern const std::string_view kLumdUsage;

} // namespace lum::lumd
