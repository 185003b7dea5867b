#include "apps/lumd/RunConfig.h"

#include "apps/lumd/config/ConfigRead.h"

#include <filesystem>
#include <stdexcept>

namespace lum::lumd {
namespace {

// clang-format off
struct PlayerRow {
    std::string_view Word;
    SourceKind Kind;
};
constexpr PlayerRow kPlayers[] = {
    // Word       Kind
    {"mpd",      SourceKind::Mpd},
    {"mpris",    SourceKind::Mpris},
    {"playlist", SourceKind::Playlist},
};
// clang-format on
static_assert(std::size(kPlayers) == 3);

/// The combining of one file's values with the command line's.
class Combining {
public:
    Combining(const LumdConfig& file, const std::string& fileName)
        : file_(file), fileName_(fileName) {}

    /// "FILE:LINE:COLUMN: KEY: what" for a key the file gives, "FILE: what" for one it leaves out.
    [[noreturn]] void Refuse(const std::string& key, const std::string& what) const {
        const std::string place = file_.Place(key);
        throw ConfigError(
            {place.empty() ? fileName_ + ": " + what : place + ": " + key + ": " + what});
    }

    /// A path of the file taken from the file's folder.
    [[nodiscard]] std::string FromFolder(const std::string& path) const {
        namespace fs = std::filesystem;
        return path.empty() || fs::path(path).is_absolute()
                   ? path
                   : (fs::path(fileName_).parent_path() / path).lexically_normal().string();
    }

    [[nodiscard]] SourceKind FilePlayer() const {
        for (const PlayerRow& row : kPlayers) {
            if (row.Word == file_.Own.Player) {
                return row.Kind;
            }
        }
        return SourceKind::Mpd;
    }

private:
    const LumdConfig& file_;
    const std::string& fileName_;
};

} // namespace

RunValues CombineValues(const LumdConfig& file, const std::string& fileName,
                        const GivenValues& given, const MpdEnvironment& environment) {
    const Combining combining(file, fileName);
    LumdConfig chosen = file;
    if (given.Protocol) {
        chosen.ChooseProtocol(*given.Protocol);
    }
    RunValues run{.Display = chosen.Display, .Protocol = chosen.Own.Protocol, .Rules = file.Rules};
    DisplayOptions& rules = run.Rules;
    rules.Charset = given.Charset != nullptr ? given.Charset : rules.Charset;
    rules.Brightness = given.Brightness.value_or(rules.Brightness);
    rules.Banner = given.Banner.value_or(rules.Banner);
    rules.RestAfterMs = given.RestAfterMs.value_or(rules.RestAfterMs);
    rules.BlankAfterMs = given.BlankAfterMs.value_or(rules.BlankAfterMs);
    rules.RestLines = given.RestLines.value_or(rules.RestLines);
    const SourceKind filePlayer = combining.FilePlayer();
    run.Source = given.Source.value_or(filePlayer);
    // The file's address is for the file's player; a value on the command line wins.
    const bool fileAddress = run.Source == filePlayer && given.SourceValue.empty();
    const std::string address = fileAddress ? file.Own.Address : given.SourceValue;
    if (!file.Own.MusicDirectory.empty() && filePlayer != SourceKind::Mpd) {
        combining.Refuse("source.music-dir", "only with source.player = \"mpd\"");
    }
    if (given.MusicDirectory && run.Source != SourceKind::Mpd) {
        combining.Refuse("source.player", "\"" + file.Own.Player + "\" takes no --music-dir");
    }
    switch (run.Source) {
    case SourceKind::Mpd:
        try {
            run.Mpd = ParseMpdAddress(address.empty() ? std::nullopt
                                                      : std::optional<std::string_view>(address),
                                      environment);
        } catch (const std::invalid_argument& error) {
            combining.Refuse("source.address", error.what());
        }
        run.MusicDirectory = given.MusicDirectory.value_or(
            filePlayer == SourceKind::Mpd ? combining.FromFolder(file.Own.MusicDirectory) : "");
        break;
    case SourceKind::Mpris:
        run.PlayerName = address;
        break;
    case SourceKind::Playlist:
        if (address.empty()) {
            combining.Refuse("source.player",
                             "\"playlist\" needs the playlist file in source.address");
        }
        run.Playlist = fileAddress ? combining.FromFolder(address) : address;
        break;
    }
    if (!file.Own.Port.empty() && !file.Own.Lcdproc.empty()) {
        combining.Refuse("display.lcdproc", "the display is display.port or LCDd, not both");
    }
    // A display given on the command line, a port or LCDd, replaces the file's.
    if (given.Lcdproc) {
        run.Lcdproc = given.Lcdproc;
    } else if (!given.Port && !file.Own.Lcdproc.empty()) {
        try {
            run.Lcdproc = ParseLcdprocAddress(file.Own.Lcdproc);
        } catch (const std::invalid_argument& error) {
            combining.Refuse("display.lcdproc", error.what());
        }
    }
    run.LcdprocIdle = given.LcdprocIdle.value_or(
        IdlePriorityNamed(file.Own.LcdprocIdle).value_or(ScreenPriority::Background));
    if (run.Lcdproc) {
        run.Protocol.clear();
        // LCDd's drivers take ISO 8859-1 and map it to their displays.
        if (given.Charset == nullptr && file.Place("display.charset").empty()) {
            rules.Charset = DisplayCharset::Find("latin1");
        }
        return run;
    }
    run.Port = given.Port.value_or(file.Own.Port);
    if (run.Port.empty()) {
        combining.Refuse("display.port", "no display: set display.port or display.lcdproc, or "
                                         "give --port DEVICE or --lcdproc");
    }
    return run;
}

} // namespace lum::lumd
