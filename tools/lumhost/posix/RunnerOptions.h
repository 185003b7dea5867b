#pragma once
// The native lumhost's command line:
//
//   lumhost [--port DEVICE] [--folder DIR] PLAYLIST.m3u
//
// --port: the tty every COM port of the settings opens (without it, COMn is /dev/ttyS(n-1));
// --folder: the host folder, whose plugins/gen_lum.ini holds the settings (the current folder
// without it).

#include <optional>
#include <string>

namespace lum::host {

/// What the command line asks for.
struct RunnerOptions {
    std::string Port;   ///< empty: the COM port names' own devices
    std::string Folder; ///< the host folder, with its trailing '/'
    std::string Playlist;
};

/// The options of `argv`, or nothing for a command line that is not one.
[[nodiscard]] std::optional<RunnerOptions> ParseRunnerOptions(int argc, const char* const* argv);

/// The usage line.
inline constexpr const char* kRunnerUsage =
    "usage: lumhost [--port DEVICE] [--folder DIR] PLAYLIST.m3u";

} // namespace lum::host
