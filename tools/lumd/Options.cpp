#include "tools/lumd/Options.h"

#include <algorithm>
#include <optional>

namespace lum::lumd {

const std::string_view kLumdUsage =
    "usage: lumd (--mpd [ADDRESS] [--music-dir DIR] | --mpris [NAME] | --playlist FILE)\n"
    "            --port DEVICE [--settings FILE] [--foreground] [--log-level LEVEL]\n"
    "  --mpd [ADDRESS]    follow MPD: [PASSWORD@]HOST[:PORT] or a socket path (default:\n"
    "                     MPD_HOST and MPD_PORT, else localhost:6600)\n"
    "  --music-dir DIR    MPD's music folder on this machine, for the files' ID3v1 tags\n"
    "                     (asked from MPD on a local socket without it)\n"
    "  --mpris [NAME]     follow the MPRIS player whose bus name contains NAME (default: the\n"
    "                     first one)\n"
    "  --playlist FILE    play an extended M3U playlist in a simulated player\n"
    "  --port DEVICE      the display's tty (every COM port of the settings opens it)\n"
    "  --settings FILE    the plug-in's settings file (written by lumctl); without it the\n"
    "                     display runs with the start values, switched on\n"
    "  --foreground       stay attached: commands on standard input (play, pause, stop,\n"
    "                     next, prev, brightness 1-4, quit)\n"
    "  --log-level LEVEL  error, warning, info (default) or debug; messages go to standard "
    "error\n"
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

LogLevel ParseLevel(std::string_view word) {
    const auto* row = std::find_if(std::begin(kLevels), std::end(kLevels),
                                   [word](const LevelRow& level) { return level.Word == word; });
    if (row == std::end(kLevels)) {
        throw OptionsError("unknown log level '" + std::string(word) +
                           "' (error, warning, info or debug)");
    }
    return row->Level;
}

// Reads the arguments one by one; an option's value is the argument after it.
class ArgumentReader {
public:
    explicit ArgumentReader(std::span<const std::string_view> arguments) : arguments_(arguments) {}

    [[nodiscard]] bool AtEnd() const { return next_ == arguments_.size(); }
    std::string_view Take() { return arguments_[next_++]; }
    /// The value of `option`; raises when there is none.
    std::string Value(std::string_view option) {
        if (AtEnd() || arguments_[next_].empty() || arguments_[next_].starts_with("--")) {
            throw OptionsError(std::string(option) + " needs a value");
        }
        return std::string(Take());
    }
    /// The value after `option` when the next argument is not an option itself.
    std::optional<std::string_view> OptionalValue() {
        if (AtEnd() || arguments_[next_].starts_with("--")) {
            return std::nullopt;
        }
        return Take();
    }

private:
    std::span<const std::string_view> arguments_;
    std::size_t next_ = 0;
};

} // namespace

LumdOptions ParseOptions(std::span<const std::string_view> arguments,
                         const MpdEnvironment& environment) {
    LumdOptions options;
    std::optional<std::string_view> source;
    std::optional<std::string_view> mpdAddress;
    bool musicDirectoryGiven = false;
    const auto chooseSource = [&](std::string_view option, SourceKind kind) {
        if (source) {
            throw OptionsError("one source a run: " + std::string(*source) + " and " +
                               std::string(option) + " given");
        }
        source = option;
        options.Source = kind;
    };
    ArgumentReader reader(arguments);
    while (!reader.AtEnd()) {
        const std::string_view option = reader.Take();
        if (option == "--help" || option == "-h") {
            options.Help = true;
        } else if (option == "--mpd") {
            chooseSource(option, SourceKind::Mpd);
            mpdAddress = reader.OptionalValue();
        } else if (option == "--mpris") {
            chooseSource(option, SourceKind::Mpris);
            options.PlayerName = std::string(reader.OptionalValue().value_or(""));
        } else if (option == "--playlist") {
            chooseSource(option, SourceKind::Playlist);
            options.Playlist = reader.Value(option);
        } else if (option == "--music-dir") {
            options.MusicDirectory = reader.Value(option);
            musicDirectoryGiven = true;
        } else if (option == "--port") {
            options.Port = reader.Value(option);
        } else if (option == "--settings") {
            options.SettingsFile = reader.Value(option);
        } else if (option == "--foreground") {
            options.Foreground = true;
        } else if (option == "--log-level") {
            options.Level = ParseLevel(reader.Value(option));
        } else {
            throw OptionsError("unknown argument '" + std::string(option) + "'");
        }
    }
    if (options.Help) {
        return options;
    }
    if (!source) {
        throw OptionsError("no source: give --mpd, --mpris or --playlist");
    }
    if (options.Port.empty()) {
        throw OptionsError("no display: give --port DEVICE");
    }
    if (musicDirectoryGiven && options.Source != SourceKind::Mpd) {
        throw OptionsError("--music-dir goes with --mpd only");
    }
    if (options.Source == SourceKind::Mpd) {
        try {
            options.Mpd = ParseMpdAddress(mpdAddress, environment);
        } catch (const std::invalid_argument& error) {
            throw OptionsError(error.what());
        }
    }
    return options;
}

} // namespace lum::lumd
