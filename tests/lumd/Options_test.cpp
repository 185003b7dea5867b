// lumd's command line: what each line asks for, and the lines that are none.
#include "CaseName.h"
#include "apps/lumd/Options.h"
#include "tools/common/CommandLine.h"

#include <gtest/gtest.h>
#include <ostream>
#include <sstream>

namespace lum::lumd {
namespace {

struct OptionsCase {
    const char* Name;
    friend void PrintTo(const OptionsCase& c, std::ostream* out) { *out << c.Name; }
    const char* Line;  ///< the arguments, separated by blanks
    const char* Error; ///< the error's message; empty: the line is fine
    SourceKind Source = SourceKind::Mpd;
    const char* Detail = ""; ///< the MPD address, the player's name or the playlist
    LogLevel Level = LogLevel::Info;
    bool Foreground = false;
};

// The environment's MPD_HOST, for the lines without an address.
const MpdEnvironment kEnvironment{"envhost", "6601"};

std::string DetailOf(const LumdOptions& options) {
    switch (options.Source) {
    case SourceKind::Mpd:
        return options.Mpd.Text() +
               (options.Mpd.Password.empty() ? "" : " " + options.Mpd.Password);
    case SourceKind::Mpris:
        return options.PlayerName;
    case SourceKind::Playlist:
        return options.Playlist;
    }
    return {};
}

class LumdOptionsParse : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(LumdOptionsParse, TakesTheLineOrSaysWhatIsWrong) {
    const OptionsCase& c = GetParam();
    std::vector<std::string> words;
    std::istringstream line(c.Line);
    for (std::string word; line >> word;) {
        words.push_back(word == "''" ? std::string() : word);
    }
    if (c.Error[0] != '\0') {
        try {
            static_cast<void>(ParseOptions(words, kEnvironment));
            ADD_FAILURE() << "accepted";
        } catch (const tools::CommandLineError& error) {
            EXPECT_STREQ(error.what(), c.Error);
        }
        return;
    }
    const LumdOptions options = ParseOptions(words, kEnvironment);
    EXPECT_EQ(options.Source, c.Source);
    EXPECT_EQ(DetailOf(options), c.Detail);
    EXPECT_EQ(options.Level, c.Level);
    EXPECT_EQ(options.Foreground, c.Foreground);
    EXPECT_EQ(options.Port, "/dev/ttyUSB0");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, LumdOptionsParse, ::testing::Values(
    OptionsCase{"MpdFromTheEnvironment", "--mpd --port /dev/ttyUSB0",                 "", SourceKind::Mpd, "envhost:6601"},
    OptionsCase{"MpdGiven",              "--port /dev/ttyUSB0 --mpd pw@box:6610",     "", SourceKind::Mpd, "box:6610 pw"},
    OptionsCase{"MpdSocketFolder",       "--mpd /run/mpd/socket --music-dir /m --port /dev/ttyUSB0 --foreground",
                                                                                      "", SourceKind::Mpd, "/run/mpd/socket", LogLevel::Info, true},
    OptionsCase{"MprisAny",              "--mpris --port /dev/ttyUSB0 --log-level debug",
                                                                                      "", SourceKind::Mpris, "", LogLevel::Debug},
    OptionsCase{"MprisNamed",            "--mpris vlc --port /dev/ttyUSB0 --log-level error",
                                                                                      "", SourceKind::Mpris, "vlc", LogLevel::Error},
    OptionsCase{"Playlist",              "--playlist demo/playlist.m3u --port /dev/ttyUSB0",
                                                                                      "", SourceKind::Playlist, "demo/playlist.m3u"},
    OptionsCase{"SourceFromTheFile",     "--config /etc/x.conf --port /dev/ttyUSB0 --protocol escpos", "", SourceKind::Mpd, "localhost:6600"},
    OptionsCase{"NoSourceForTheSettings", "--port /dev/ttyUSB0 --settings s.ini",    "no source: give --mpd, --mpris or --playlist"},
    OptionsCase{"TwoSources",            "--mpd --mpris --port /dev/ttyUSB0",         "--mpris: one source a run, and --mpd is given too"},
    OptionsCase{"NoPortForTheSettings",  "--mpd --settings s.ini",                    "no display: give --port DEVICE or --lcdproc"},
    OptionsCase{"LcdprocAndPort",        "--mpd --port /dev/ttyUSB0 --lcdproc",      "--lcdproc: the display is --port or LCDd, not both"},
    OptionsCase{"LcdprocWithProtocol",   "--mpd --lcdproc box --protocol escpos",    "--protocol: LCDd drives its display itself; not with --lcdproc"},
    OptionsCase{"BadLcdprocAddress",     "--mpd --lcdproc box:99999",                "--lcdproc: bad port '99999' in 'box:99999' (the LCDproc address) (1-65535)"},
    OptionsCase{"BadLcdprocIdle",        "--mpd --lcdproc --lcdproc-idle foreground", "--lcdproc-idle foreground: must be background, info or hidden"},
    OptionsCase{"ConfigAndSettings",     "--config a.conf --settings s.ini",          "--settings: give --config or --settings, not both"},
    OptionsCase{"UnknownProtocol",       "--protocol ba36",                           "--protocol ba36: must be one of plain, cr, ba63, escpos, cd5220"},
    OptionsCase{"PortWithoutValue",      "--mpd --port",                              "--port: needs a value"},
    OptionsCase{"EmptySettings",         "--mpd --port /dev/ttyUSB0 --settings ''",   "--settings: needs a value"},
    OptionsCase{"PlaylistWithoutFile",   "--playlist --port /dev/ttyUSB0",            "--playlist: needs a value"},
    OptionsCase{"PortTwice",             "--mpd --port /dev/ttyUSB0 --port /dev/ttyS0", "--port: given twice"},
    OptionsCase{"MusicFolderWithMpris",  "--mpris --music-dir /m --port /dev/ttyUSB0", "--music-dir /m: only with --mpd"},
    OptionsCase{"BadMpdPort",            "--mpd box:0 --port /dev/ttyUSB0",           "--mpd: bad port '0' in 'box:0' (the MPD address) (1-65535)"},
    OptionsCase{"BadLevel",              "--mpd --port /dev/ttyUSB0 --log-level loud", "--log-level loud: must be error, warning, info or debug"},
    OptionsCase{"Unknown",               "--mpd --port /dev/ttyUSB0 --daemon",        "--daemon: unknown option"},
    OptionsCase{"Word",                  "--mpd --port /dev/ttyUSB0 box",             "box: unexpected argument"},
    OptionsCase{"BadCharset",            "--mpd --port /dev/ttyUSB0 --charset cp865", "--charset cp865: must be one of ascii, cp437, cp850, cp858, cp1252, latin1"},
    OptionsCase{"BadBrightness",         "--mpd --port /dev/ttyUSB0 --brightness 5",  "--brightness 5: must be a whole number from 1 to 4"},
    OptionsCase{"BadBanner",             "--mpd --port /dev/ttyUSB0 --banner own",    "--banner own: must be plugin or off"},
    OptionsCase{"BannerOffWithLines",    "--mpd --port /dev/ttyUSB0 --banner off --banner-line Hi",
                                                                                      "--banner-line: a banner of one's own, and --banner off is given"},
    OptionsCase{"NinthBannerLine",       "--mpd --port /dev/ttyUSB0 --banner-line 1 --banner-line 2 --banner-line 3 --banner-line 4 --banner-line 5 --banner-line 6 --banner-line 7 --banner-line 8 --banner-line 9",
                                                                                      "--banner-line 9: a display has at most 8 lines"},
    OptionsCase{"NegativeMinutes",       "--mpd --port /dev/ttyUSB0 --rest-after -1", "--rest-after -1: must be a number of minutes from 0 to 1440"},
    OptionsCase{"MinutesPastADay",       "--mpd --port /dev/ttyUSB0 --blank-after 1441", "--blank-after 1441: must be a number of minutes from 0 to 1440"},
    OptionsCase{"MinutesNoNumber",       "--mpd --port /dev/ttyUSB0 --rest-after 1m", "--rest-after 1m: must be a number of minutes from 0 to 1440"}),
    CaseName());
// clang-format on

TEST(LumdOptions, HelpNeedsNothingElse) {
    const std::vector<std::string> arguments = {"--help"};
    EXPECT_TRUE(ParseOptions(arguments, {}).Help);
}

} // namespace
} // namespace lum::lumd
