#include "apps/lumd/Options.h"

#include "common/Windows1252.h"
#include "display/ProtocolTable.h"
#include "tools/common/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace lum::lumd {

const std::string_view kLumdUsage =
    "usage: lumd [--config FILE | --settings FILE]\n"
    "            [--mpd [ADDRESS] [--music-dir DIR] | --mpris [NAME] | --playlist FILE]\n"
    "            [--port DEVICE [--protocol NAME] | --lcdproc [HOST[:PORT]]]\n"
    "            [--lcdproc-idle PRIORITY] [--foreground] [--log-level LEVEL]\n"
    "       lumd --help | --version\n"
    "  --config FILE      the configuration (lumd.conf(5); default: /etc/lumd.conf when there);\n"
    "                     the options below win over it\n"
    "  --settings FILE    the plug-in's settings file (written by lumctl) instead; the source\n"
    "                     and the port are then needed here\n"
    "  --mpd [ADDRESS]    follow MPD: [PASSWORD@]HOST[:PORT] or a socket path (default:\n"
    "                     MPD_HOST and MPD_PORT, else localhost:6600)\n"
    "  --music-dir DIR    MPD's music folder on this machine, for the files' ID3v1 tags\n"
    "                     (asked from MPD on a local socket without it)\n"
    "  --mpris [NAME]     follow the MPRIS player whose bus name contains NAME (default: the\n"
    "                     first one)\n"
    "  --playlist FILE    play an extended M3U playlist in a simulated player\n"
    "  --port DEVICE      the display's tty (every COM port of the settings opens it)\n"
    "  --protocol NAME    the display's protocol: plain, cr, ba63, escpos or cd5220\n"
    "  --lcdproc [HOST[:PORT]]\n"
    "                     the display is LCDproc's server LCDd's, lumd its client (default:\n"
    "                     localhost:13666); LCDd's display gives the size\n"
    "  --lcdproc-idle PRIORITY\n"
    "                     lumd's screen on LCDd while the player does not play: background\n"
    "                     (default), info or hidden\n"
    "  --foreground       stay attached: commands on standard input (play, pause, stop,\n"
    "                     next, prev, brightness 1-4, quit)\n"
    "  --log-level LEVEL  error, warning, info (default) or debug; messages go to standard "
    "error\n"
    "  --charset NAME     the display's character set: ascii, cp437 (default), cp850, cp858,\n"
    "                     cp1252 or latin1 (the default with --lcdproc)\n"
    "  --brightness N     1-4 (default 4, the brightest), sent after every start\n"
    "  --banner WORD      the banner of every start: plugin (default) or off\n"
    "  --banner-line TEXT a line of a banner of one's own (templates as in a text set);\n"
    "                     once for each line\n"
    "  --rest-after MIN   minutes stopped or paused before the resting screen (default 10;\n"
    "                     0 never; a fraction too: 0.05 is 3 s)\n"
    "  --blank-after MIN  minutes of resting screen before the display goes blank (default\n"
    "                     60; 0 never)\n"
    "  --rest-line TEXT   a line of the resting screen (default %zeit); once for each line\n"
    "SIGTERM and SIGINT quit (the display is cleared), SIGHUP rereads the settings file.\n";

namespace {

// clang-format off
struct LevelRow {
    std::string_view Word;
    LogLevel Level;
};
constexpr LevelRow kLevels[] = {
    // Word      Level
    {"error",   LogLevel::Error},
    {"warning", LogLevel::Warning},
    {"info",    LogLevel::Info},
    {"debug",   LogLevel::Debug},
};
// clang-format on
static_assert(std::size(kLevels) == 4);

LogLevel ParseLevel(const std::string& word) {
    const auto* row = std::find_if(std::begin(kLevels), std::end(kLevels),
                                   [&word](const LevelRow& level) { return level.Word == word; });
    if (row == std::end(kLevels)) {
        throw tools::BadValue("must be error, warning, info or debug");
    }
    return row->Level;
}

/// Reads minutes, a fraction allowed, into milliseconds.
tools::ValueReader MinutesInto(std::optional<std::uint32_t>& ms) {
    return [&ms](const std::string& text) {
        double minutes = -1;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), minutes);
        ms = RestMilliseconds(minutes);
        if (error != std::errc() || end != text.data() + text.size() || !ms) {
            throw tools::BadValue("must be a number of minutes from 0 to 1440");
        }
    };
}

/// Reads a line of UTF-8 text into `lines` as the display text.
tools::ValueReader LineInto(std::vector<std::string>& lines) {
    return [&lines](const std::string& text) {
        if (lines.size() == static_cast<std::size_t>(kLinesPerSet)) {
            throw tools::BadValue("a display has at most 8 lines");
        }
        lines.push_back(Utf8ToWindows1252(text));
    };
}

} // namespace

void LumdOptions::Use(const RunValues& values) {
    Source = values.Source;
    Mpd = values.Mpd;
    MusicDirectory = values.MusicDirectory;
    PlayerName = values.PlayerName;
    Playlist = values.Playlist;
    Port = values.Port;
    Protocol = values.Protocol;
    Lcdproc = values.Lcdproc;
    LcdprocIdle = values.LcdprocIdle;
    Display = values.Rules;
}

LumdOptions ParseOptions(std::span<const std::string> arguments,
                         const MpdEnvironment& environment) {
    using tools::CommandLineError;
    using tools::Text;
    LumdOptions options;
    // The sources in the usage's order; one of them a run.
    struct Source {
        std::string_view Name;
        SourceKind Kind;
        bool Given = false;
        std::string Value{};
    };
    Source sources[] = {{"--mpd", SourceKind::Mpd},
                        {"--mpris", SourceKind::Mpris},
                        {"--playlist", SourceKind::Playlist}};
    tools::CommandLine line;
    line.Value("--config", Text(options.ConfigFile));
    line.OptionalValue("--mpd", sources[0].Given, sources[0].Value);
    line.OptionalValue("--mpris", sources[1].Given, sources[1].Value);
    line.Value("--playlist", Text(options.Playlist));
    line.Value("--music-dir", Text(options.MusicDirectory));
    line.Value("--port", Text(options.Port));
    line.Value("--protocol", [&options](const std::string& name) {
        if (std::ranges::find(kDisplayProtocols, name, &ProtocolRow::Name) ==
            std::end(kDisplayProtocols)) {
            throw tools::BadValue("must be one of " + ProtocolNames());
        }
        options.Protocol = name;
    });
    bool lcdproc = false;
    std::string lcdprocAddress;
    line.OptionalValue("--lcdproc", lcdproc, lcdprocAddress);
    line.Value("--lcdproc-idle", [&options](const std::string& word) {
        options.Given.LcdprocIdle = IdlePriorityNamed(word);
        if (!options.Given.LcdprocIdle) {
            throw tools::BadValue("must be background, info or hidden");
        }
    });
    line.Value("--settings", Text(options.SettingsFile));
    line.Flag("--foreground", options.Foreground);
    line.Value("--log-level",
               [&options](const std::string& word) { options.Level = ParseLevel(word); });
    GivenValues& given = options.Given;
    line.Value("--charset", [&given](const std::string& name) {
        given.Charset = DisplayCharset::Find(name);
        if (given.Charset == nullptr) {
            throw tools::BadValue("must be one of " + DisplayCharset::Names());
        }
    });
    line.Value("--brightness", [&given](const std::string& text) {
        int step = 0;
        tools::WholeNumberInto(step, 1, 4)(text);
        given.Brightness = step;
    });
    std::string banner;
    line.Value("--banner", Text(banner));
    std::vector<std::string> bannerLines;
    line.Values("--banner-line", LineInto(bannerLines));
    line.Value("--rest-after", MinutesInto(given.RestAfterMs));
    line.Value("--blank-after", MinutesInto(given.BlankAfterMs));
    std::vector<std::string> restLines;
    line.Values("--rest-line", LineInto(restLines));
    options.Help = !line.Parse(arguments);
    options.Version = line.VersionAsked();
    if (options.Help) {
        return options;
    }
    if (!options.ConfigFile.empty() && !options.SettingsFile.empty()) {
        throw CommandLineError("--settings: give --config or --settings, not both");
    }
    sources[2].Given = !options.Playlist.empty();
    const Source* chosen = nullptr;
    for (const Source& source : sources) {
        if (source.Given && chosen != nullptr) {
            throw CommandLineError(std::string(source.Name) + ": one source a run, and " +
                                   std::string(chosen->Name) + " is given too");
        }
        chosen = source.Given ? &source : chosen;
    }
    // The plug-in's file names neither the source nor the display: the command line must.
    const bool settingsFile = !options.SettingsFile.empty();
    if (chosen == nullptr && settingsFile) {
        throw CommandLineError("no source: give --mpd, --mpris or --playlist");
    }
    if (lcdproc && !options.Port.empty()) {
        throw CommandLineError("--lcdproc: the display is --port or LCDd, not both");
    }
    if (lcdproc && !options.Protocol.empty()) {
        throw CommandLineError("--protocol: LCDd drives its display itself; not with --lcdproc");
    }
    if (options.Port.empty() && !lcdproc && settingsFile) {
        throw CommandLineError("no display: give --port DEVICE or --lcdproc");
    }
    if (lcdproc) {
        try {
            given.Lcdproc = ParseLcdprocAddress(lcdprocAddress);
        } catch (const std::invalid_argument& error) {
            throw CommandLineError(std::string("--lcdproc: ") + error.what());
        }
    }
    options.Source = chosen == nullptr ? SourceKind::Mpd : chosen->Kind;
    if (!options.MusicDirectory.empty() && chosen != nullptr && options.Source != SourceKind::Mpd) {
        throw CommandLineError(
            tools::OptionProblem("--music-dir", options.MusicDirectory, "only with --mpd"));
    }
    if (options.Source == SourceKind::Mpd && chosen != nullptr) {
        try {
            options.Mpd = ParseMpdAddress(chosen->Value, environment);
        } catch (const std::invalid_argument& error) {
            throw CommandLineError(std::string("--mpd: ") + error.what());
        }
    }
    options.PlayerName = sources[1].Value;
    if (chosen != nullptr) {
        given.Source = chosen->Kind;
        given.SourceValue = chosen->Kind == SourceKind::Playlist ? options.Playlist : chosen->Value;
    }
    const auto givenText = [](const std::string& text) {
        return text.empty() ? std::nullopt : std::optional<std::string>(text);
    };
    given.MusicDirectory = givenText(options.MusicDirectory);
    given.Port = givenText(options.Port);
    given.Protocol = givenText(options.Protocol);
    if (!banner.empty() && banner != "plugin" && banner != "off") {
        throw CommandLineError(tools::OptionProblem("--banner", banner, "must be plugin or off"));
    }
    if (banner == "off" && !bannerLines.empty()) {
        throw CommandLineError("--banner-line: a banner of one's own, and --banner off is given");
    }
    if (!bannerLines.empty()) {
        given.Banner = Overlay{bannerLines, true};
    } else if (!banner.empty()) {
        given.Banner = banner == "off" ? std::nullopt : std::optional<Overlay>(PluginBanner());
    }
    if (!restLines.empty()) {
        given.RestLines = restLines;
    }
    return options;
}

} // namespace lum::lumd
