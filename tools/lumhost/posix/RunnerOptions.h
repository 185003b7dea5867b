#pragma once
// The native lumhost's command line:
//
//   lumhost [--port DEVICE] [--folder DIR] PLAYLIST.m3u
//   lumhost --help | --version
//
// --port: the tty every COM port of the settings opens (without it, COMn is /dev/ttyS(n-1));
// --folder: the host folder, whose plugins/gen_lum.ini holds the settings (the current folder
// without it).

#include <span>
#include <string>

namespace lum::host {

/// What the command line asks for.
struct RunnerOptions {
    bool Help = false;    ///< only the usage or the version is asked for
    bool Version = false; ///< the version is
    std::string Port;     ///< empty: the COM port names' own devices
    std::string Folder;   ///< the host folder, with its trailing '/'
    std::string Playlist;
};

/// The options of `arguments` (without the program's name). Raises tools::CommandLineError.
[[nodiscard]] RunnerOptions ParseRunnerOptions(std::span<const std::string> arguments);

/// The usage lines.
inline constexpr const char* kRunnerUsage =
    "usage: lumhost [--port DEVICE] [--folder DIR] PLAYLIST.m3u\n"
    "       lumhost --help | --version\n";

/// What --help adds to the usage.
inline constexpr const char* kRunnerHelp =
    "Runs the plug-in in this process, its serial port on a tty, the player simulated from the\n"
    "extended M3U playlist.\n"
    "  --port DEVICE  the tty every COM port of the settings opens (default: COMn is\n"
    "                 /dev/ttyS(n-1))\n"
    "  --folder DIR   the host folder: the settings are DIR/plugins/gen_lum.ini (default: .)\n"
    "Commands on standard input, one a line: play, pause, stop, next, prev, seek MS, select N,\n"
    "config, sleep MS, windows, click NAME, key NAME f4|alt+f4, settext NAME TEXT,\n"
    "check NAME on|off, select NAME N, page NAME N, echo WORD, resources, quit.\n"
    "quit, end of input, Ctrl-C, SIGTERM and SIGHUP clear the display and end with exit code 0;\n"
    "a bad command line or playlist ends with exit code 2.\n";

} // namespace lum::host
