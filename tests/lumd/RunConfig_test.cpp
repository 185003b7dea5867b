// What a run uses: the configuration file's values with the command line's on top, and the
// file's values the run cannot use, each named with its place.
#include "CaseName.h"
#include "apps/lumd/RunConfig.h"
#include "apps/lumd/config/ConfigRead.h"

#include <gtest/gtest.h>
#include <ostream>

namespace lum::lumd {
namespace {

struct RunCase {
    const char* Name;
    const char* File;
    GivenValues Given;
    const char* Error;                              ///< the message; empty: the values are good
    void (*Expect)(RunValues&) = [](RunValues&) {}; ///< changed from the file's port alone
    friend void PrintTo(const RunCase& c, std::ostream* out) { *out << c.Name; }
};

const MpdEnvironment kRunEnvironment{"envhost", "6601"};
constexpr const char* kFileName = "/etc/lumd/t.conf";

class RunConfigCombine : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunConfigCombine, TheCommandLineWinsAndTheFilesValuesAreChecked) {
    const RunCase& c = GetParam();
    try {
        const RunValues run =
            CombineValues(ParseConfig(c.File, kFileName), kFileName, c.Given, kRunEnvironment);
        EXPECT_STREQ("", c.Error) << "accepted";
        RunValues expected{.Display = LumdConfig::StartValuesSwitchedOn(),
                           .Mpd = {"envhost", 6601, ""},
                           .Port = "/dev/ttyUSB0"};
        c.Expect(expected);
        EXPECT_EQ(run, expected);
    } catch (const ConfigError& error) {
        EXPECT_STREQ(error.what(), c.Error);
    }
}

constexpr const char* kPort = "[display]\nport = \"/dev/ttyUSB0\"\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, RunConfigCombine, ::testing::Values(
    RunCase{"MpdFromTheEnvironment", kPort, {}, ""},
    RunCase{"NoPortAnywhere", "", {}, "/etc/lumd/t.conf: no display: set display.port or display.lcdproc, or give --port DEVICE or --lcdproc"},
    RunCase{"LcdprocOfTheFile", "[display]\nlcdproc = \"box\"\nlcdproc-idle = \"hidden\"\nprotocol = \"escpos\"\n", {}, "",
        [](RunValues& r) {
            r.Port = ""; r.Lcdproc = LcdprocAddress{"box", 13666}; r.LcdprocIdle = ScreenPriority::Hidden;
            r.Rules.Charset = DisplayCharset::Find("latin1");
        }},
    RunCase{"LcdprocKeepsTheCharsetGiven", "[display]\nlcdproc = \"box\"\ncharset = \"ascii\"\n", {}, "",
        [](RunValues& r) { r.Port = ""; r.Lcdproc = LcdprocAddress{"box", 13666}; r.Rules.Charset = DisplayCharset::Find("ascii"); }},
    RunCase{"LcdprocGivenReplacesTheFilesPort", kPort, {.Lcdproc = LcdprocAddress{}, .LcdprocIdle = ScreenPriority::Info}, "",
        [](RunValues& r) {
            r.Port = ""; r.Lcdproc = LcdprocAddress{}; r.LcdprocIdle = ScreenPriority::Info;
            r.Rules.Charset = DisplayCharset::Find("latin1");
        }},
    RunCase{"PortGivenReplacesTheFilesLcdproc", "[display]\nlcdproc = \"box\"\n", {.Port = "/dev/ttyUSB0"}, ""},
    RunCase{"PortAndLcdprocInTheFile", "[display]\nport = \"/dev/ttyUSB0\"\nlcdproc = \"box\"\n", {},
        "/etc/lumd/t.conf:3:11: display.lcdproc: the display is display.port or LCDd, not both"},
    RunCase{"BadLcdprocOfTheFile", "[display]\nlcdproc = \"[::1\"\n", {},
        "/etc/lumd/t.conf:2:11: display.lcdproc: no ']' after the IPv6 address in '[::1' (the LCDproc address)"},
    RunCase{"PortGiven", "", {.Port = "/dev/ttyS1"}, "", [](RunValues& r) { r.Port = "/dev/ttyS1"; }},
    RunCase{"MpdOfTheFile", "[source]\naddress = \"pw@box:6610\"\nmusic-dir = \"music\"\n[display]\nport = \"/dev/ttyUSB0\"\n", {}, "",
        [](RunValues& r) { r.Mpd = {"box", 6610, "pw"}; r.MusicDirectory = "/etc/lumd/music"; }},
    RunCase{"MpdGivenWinsOverTheFiles", "[source]\naddress = \"box\"\n[display]\nport = \"/dev/ttyUSB0\"\n",
        {.Source = SourceKind::Mpd, .SourceValue = "other:7000", .MusicDirectory = "/m"}, "",
        [](RunValues& r) { r.Mpd = {"other", 7000, ""}; r.MusicDirectory = "/m"; }},
    RunCase{"BadMpdAddressOfTheFile", "[source]\naddress = \"box:0\"\n",  {},
        "/etc/lumd/t.conf:2:11: source.address: bad port '0' in 'box:0' (the MPD address) (1-65535)"},
    RunCase{"MprisOfTheFile", "[source]\nplayer = \"mpris\"\naddress = \"vlc\"\n[display]\nport = \"/dev/ttyUSB0\"\n", {}, "",
        [](RunValues& r) { r.Source = SourceKind::Mpris; r.Mpd = {}; r.PlayerName = "vlc"; }},
    RunCase{"AnotherPlayerGivenLeavesTheFilesAddress", "[source]\nplayer = \"mpris\"\naddress = \"vlc\"\n[display]\nport = \"/dev/ttyUSB0\"\n",
        {.Source = SourceKind::Mpd}, ""},
    RunCase{"PlaylistFromTheFilesFolder", "[source]\nplayer = \"playlist\"\naddress = \"../list.m3u\"\n[display]\nport = \"/dev/ttyUSB0\"\n", {}, "",
        [](RunValues& r) { r.Source = SourceKind::Playlist; r.Mpd = {}; r.Playlist = "/etc/list.m3u"; }},
    RunCase{"PlaylistWithoutItsFile", "[source]\nplayer = \"playlist\"\n", {},
        "/etc/lumd/t.conf:2:10: source.player: \"playlist\" needs the playlist file in source.address"},
    RunCase{"MusicFolderForAnotherPlayer", "[source]\nplayer = \"mpris\"\nmusic-dir = \"/m\"\n", {},
        "/etc/lumd/t.conf:3:13: source.music-dir: only with source.player = \"mpd\""},
    RunCase{"MusicFolderGivenForTheFilesMpris", "[source]\nplayer = \"mpris\"\n", {.MusicDirectory = "/m"},
        "/etc/lumd/t.conf:2:10: source.player: \"mpris\" takes no --music-dir"},
    RunCase{"ProtocolGivenWinsOverTheFiles", "[display]\nport = \"/dev/ttyUSB0\"\nprotocol = \"ba63\"\n", {.Protocol = "escpos"}, "",
        [](RunValues& r) { r.Protocol = "escpos"; }},
    RunCase{"PluginKindGiven", "[display]\nport = \"/dev/ttyUSB0\"\nprotocol = \"cd5220\"\n", {.Protocol = "ba63"}, "",
        [](RunValues& r) { r.Display.Ba63Mode = true; }},
    RunCase{"RulesGivenWinOverTheFilesOneByOne",
        "[display]\nport = \"/dev/ttyUSB0\"\ncharset = \"cp850\"\nbrightness = 2\nbanner = \"off\"\n[rest]\nafter = 5\nlines = [\"x\"]\n",
        {.Charset = DisplayCharset::Find("ascii"), .Banner = PluginBanner(), .BlankAfterMs = 0}, "",
        [](RunValues& r) {
            r.Rules = {.Charset = DisplayCharset::Find("ascii"), .Brightness = 2, .Banner = PluginBanner(),
                       .RestAfterMs = 300'000, .BlankAfterMs = 0, .RestLines = {"x"}};
        }}
), CaseName());
// clang-format on

} // namespace
} // namespace lum::lumd
