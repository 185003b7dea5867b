#pragma once
// What a lumd run uses: its configuration file's values with the command line's on top. The
// command line names the values it gives; each wins over the file's, and the file's own values
// are checked as the run uses them (an MPD address, a playlist without its file), each problem
// with its place in the file.

#include "apps/lumd/LcdprocAddress.h"
#include "apps/lumd/LcdprocScreen.h"
#include "apps/lumd/MpdAddress.h"
#include "apps/lumd/config/LumdConfig.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lum::lumd {

/// The configuration file read when the command line names none.
inline constexpr std::string_view kDefaultConfigFile = "/etc/lumd.conf";

/// Where the now-playing answers come from.
enum class SourceKind { Mpd, Mpris, Playlist };

/// The values the command line gives; none: the file's.
struct GivenValues {
    std::optional<SourceKind> Source{};
    std::string SourceValue{}; ///< --mpd's address, --mpris's name (empty: none), --playlist's file
    std::optional<std::string> MusicDirectory{};
    std::optional<std::string> Port{};
    std::optional<std::string> Protocol{};
    std::optional<LcdprocAddress> Lcdproc{}; ///< LCDd as the display, in place of the port
    std::optional<ScreenPriority> LcdprocIdle{};
    // lumd's own rules for the display (DisplayOptions.h).
    const DisplayCharset* Charset = nullptr;
    std::optional<int> Brightness{};
    std::optional<std::optional<Overlay>> Banner{};
    std::optional<std::uint32_t> RestAfterMs{};
    std::optional<std::uint32_t> BlankAfterMs{};
    std::optional<std::vector<std::string>> RestLines{};
};

/// What a run uses.
struct RunValues {
    Settings Display;
    SourceKind Source = SourceKind::Mpd;
    MpdAddress Mpd{};
    std::string MusicDirectory{};
    std::string PlayerName{};
    std::string Playlist{};
    std::string Port{};
    std::string Protocol{}; ///< a protocol of lumd's own; empty: the plug-in's kinds
    std::optional<LcdprocAddress> Lcdproc{}; ///< LCDd as the display; Port is empty then
    ScreenPriority LcdprocIdle = ScreenPriority::Background; ///< the screen's while not playing
    DisplayOptions Rules{};

    friend bool operator==(const RunValues&, const RunValues&) = default;
};

/// The values of `file` (read from `fileName`; a file's relative paths are taken from its
/// folder) with `given` on top, MPD's address completed from `environment`. Raises ConfigError.
[[nodiscard]] RunValues CombineValues(const LumdConfig& file, const std::string& fileName,
                                      const GivenValues& given, const MpdEnvironment& environment);

} // namespace lum::lumd
