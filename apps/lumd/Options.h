#pragma once
// lumd's command line:
//
//   lumd [--config FILE | --settings FILE] [--mpd [ADDRESS] | --mpris [NAME] | --playlist FILE]
//        [--music-dir DIR] [--port DEVICE [--protocol NAME] | --lcdproc [HOST[:PORT]]]
//        [--lcdproc-idle PRIORITY] [--foreground] [--log-level LEVEL]
//        [--charset NAME] [--brightness 1-4] [--banner off|plugin] [--banner-line TEXT]...
//        [--rest-after MINUTES] [--blank-after MINUTES] [--rest-line TEXT]...
//   lumd --help | --version
//
// The configuration file (FILE, else /etc/lumd.conf when there) gives what the command line
// leaves out; --settings reads the plug-in's binary file instead, and then the command line names
// the source and the port. One source a run: MPD at ADDRESS (see MpdAddress.h; MPD_HOST and
// MPD_PORT without one), the MPRIS player whose bus name contains NAME (the first player without
// one), or the simulated player of an extended M3U playlist. DEVICE is the display's tty; every
// COM port the settings name opens it. --lcdproc makes LCDproc's server LCDd the display instead
// (LcdprocAddress.h; localhost:13666 without an address), its screen at PRIORITY (background,
// info or hidden) while the player does not play. The rest are lumd's own rules for the display
// (DisplayOptions.h).

#include "apps/lumd/DisplayOptions.h"
#include "apps/lumd/Log.h"
#include "apps/lumd/MpdAddress.h"
#include "apps/lumd/RunConfig.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lum::lumd {

/// What the command line asks for; the run's values are the file's with the command line's on
/// top (Use), the command line's alone until then.
struct LumdOptions {
    SourceKind Source = SourceKind::Mpd;
    MpdAddress Mpd{};
    std::string MusicDirectory{}; ///< MPD's music folder here; empty: ask the server
    std::string PlayerName{};     ///< a part of the MPRIS player's bus name; empty: any
    std::string Playlist{};
    std::string Port{};
    std::string Protocol{}; ///< a protocol of lumd's own; empty: the plug-in's kinds
    std::optional<LcdprocAddress> Lcdproc{}; ///< LCDd as the display, in place of the port
    ScreenPriority LcdprocIdle = ScreenPriority::Background;
    std::string ConfigFile{};   ///< empty: /etc/lumd.conf, unless the settings file is given
    std::string SettingsFile{}; ///< the plug-in's file instead of a configuration; empty: none
    GivenValues Given{};        ///< what the command line gives beside the file
    bool Foreground = false;
    LogLevel Level = LogLevel::Info;
    DisplayOptions Display{}; ///< lumd's own rules for the display
    bool Help = false;        ///< the usage or the version is asked for
    bool Version = false;     ///< the version is

    /// Takes the run's values (the display's settings aside).
    void Use(const RunValues& values);
};

/// The options of `arguments` (without the program's name), MPD's address completed from
/// `environment`. Raises tools::CommandLineError.
[[nodiscard]] LumdOptions ParseOptions(std::span<const std::string> arguments,
                                       const MpdEnvironment& environment);

/// The usage text, ending with a line break.
extern const std::string_view kLumdUsage;

} // namespace lum::lumd
