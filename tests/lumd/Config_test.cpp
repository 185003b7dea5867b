// lumd's configuration file: one table of files, each good one with the values it gives and each
// bad one with the whole message it must give; and the plug-in's every value through the written
// file and back.
#include "CaseName.h"
#include "apps/lumd/config/ConfigRead.h"
#include "apps/lumd/config/ConfigWrite.h"

#include <gtest/gtest.h>
#include <ostream>

namespace lum::lumd {
namespace {

struct ConfigCase {
    const char* Name;
    const char* Text;
    const char* Error = ""; ///< the whole message, problems a line each; empty: the file is good
    void (*Expect)(LumdConfig&) = [](LumdConfig&) {}; ///< the defaults changed as the file says
    friend void PrintTo(const ConfigCase& c, std::ostream* out) { *out << c.Name; }
};

class ConfigFile : public ::testing::TestWithParam<ConfigCase> {};

TEST_P(ConfigFile, GivesItsValuesOrSaysWhereAndWhatIsWrong) {
    const ConfigCase& c = GetParam();
    try {
        const LumdConfig read = ParseConfig(c.Text, "t.conf");
        EXPECT_STREQ("", c.Error) << "accepted";
        LumdConfig expected;
        c.Expect(expected);
        EXPECT_EQ(read.Display, expected.Display);
        EXPECT_EQ(read.Own, expected.Own);
        EXPECT_EQ(read.Rules, expected.Rules);
    } catch (const ConfigError& error) {
        EXPECT_STREQ(error.what(), c.Error);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, ConfigFile, ::testing::Values(
    ConfigCase{"Empty", "# nothing but a comment\n"},
    ConfigCase{"Everything",
        "[source]\nplayer = \"mpris\"\naddress = \"vlc\"\n"
        "[display]\nport = \"/dev/ttyUSB1\"\nbaud = 19200\nprotocol = \"ba63\"\nwidth = 40\nlines = 4\n"
        "init = \"\"\nrefresh = 150\nseparator = \" \xC3\xA4\xE2\x80\x99\xE6\x97\xA5\\u0081 \"\n"
        "replace-umlauts = false\nswitched-on = false\n"
        "[rotation]\nseconds = 12\nsets = 2\n"
        "[plugin]\ncom-port = 3\nmain-window = false\nmain-window-minimized = false\ncr-with-ba63 = true\n"
        "[[set]]\nlines = [\"%titel\", { text = \"%status\", scroll = \"right\" }, { scroll = \"off\" }]\n"
        "[[set]]\n"
        "[[set]]\nlines = [\"\", \"%zeit\"]\n",
        "", [](LumdConfig& c) {
            c.Own = {"mpris", "vlc", "", "/dev/ttyUSB1", ""};
            Settings& s = c.Display;
            s.BaudRateIndex = 4;
            s.Ba63Mode = s.SendCarriageReturn = true;
            s.LineWidth = 40;
            s.LineCount = 4;
            s.InitCommand = "";
            s.UpdateInterval = 150;
            s.Separator = " \xE4\x92?\x81 ";
            s.ReplaceUmlauts = false;
            s.DisplayOff = true;
            s.SetChangeSeconds = 12;
            s.SetCount = 2;
            s.ComPort = 3;
            s.ShowMainWindow = s.MainWindowMinimized = false;
            s.Sets = {};
            s.Slot(1, 1) = {"%titel", kScrollNone};
            s.Slot(1, 2) = {"%status", kScrollRight};
            s.Slot(1, 3) = {"", kScrollOff};
            s.Slot(3, 2) = {"%zeit", kScrollNone};
        }},
    ConfigCase{"LumdsOwnProtocol", "[display]\nprotocol = \"escpos\"\ninit = 7\n", "",
        [](LumdConfig& c) { c.Own.Protocol = "escpos"; c.Display.InitCommand = "7"; }},
    ConfigCase{"LumdsOwnRules",
        "[display]\ncharset = \"cp850\"\nbrightness = 2\nbanner = [\"Hall\xC3\xB6\", \"%zeit\"]\n"
        "[rest]\nafter = 0.05\nblank-after = 0\nlines = [\"\", \"\xE2\x80\x93 %datum\"]\n", "",
        [](LumdConfig& c) {
            c.Rules = {.Charset = DisplayCharset::Find("cp850"), .Brightness = 2,
                       .Banner = Overlay{{"Hall\xF6", "%zeit"}, true}, .RestAfterMs = 3000,
                       .BlankAfterMs = 0, .RestLines = {"", "\x96 %datum"}};
        }},
    ConfigCase{"BannerOff", "[display]\nbanner = \"off\"\n", "",
        [](LumdConfig& c) { c.Rules.Banner = std::nullopt; }},
    ConfigCase{"UnknownCharset", "[display]\ncharset = \"utf8\"\n",
        "t.conf:2:11: display.charset: \"utf8\" is not one of ascii, cp437, cp850, cp858, cp1252, latin1"},
    ConfigCase{"Lcdproc", "[display]\nlcdproc = \"box:13667\"\nlcdproc-idle = \"info\"\n", "",
        [](LumdConfig& c) { c.Own.Lcdproc = "box:13667"; c.Own.LcdprocIdle = "info"; }},
    ConfigCase{"LcdprocIdleForeground", "[display]\nlcdproc-idle = \"foreground\"\n",
        "t.conf:2:16: display.lcdproc-idle: \"foreground\" is not one of \"background\", \"info\", \"hidden\""},
    ConfigCase{"BrightnessPastFour", "[display]\nbrightness = 5\n",
        "t.conf:2:14: display.brightness: 5 is not a whole number from 1 to 4"},
    ConfigCase{"BannerOfAnotherWord", "[display]\nbanner = \"on\"\n",
        "t.conf:2:10: display.banner: \"on\" is not \"off\", \"plugin\" or an array of at most 8 texts"},
    ConfigCase{"RestPastADay", "[rest]\nafter = 1441\n",
        "t.conf:2:9: rest.after: 1441 is not a number of minutes from 0 to 1440, a fraction allowed"},
    ConfigCase{"RestLineNotAText", "[rest]\nlines = [\"%zeit\", 3]\n",
        "t.conf:2:19: rest.lines[2]: 3 is not a text in double quotes"},
    ConfigCase{"NoSetsAtAll", "set = []\n", "", [](LumdConfig& c) { c.Display.Sets = {}; }},
    ConfigCase{"MisspeltKey", "[display]\nbud = 9600\n",
        "t.conf:2:1: unknown key display.bud (did you mean display.baud?)"},
    ConfigCase{"KeyOfAnotherSection", "[display]\nplayer = \"mpd\"\n",
        "t.conf:2:1: unknown key display.player (did you mean source.player?)"},
    ConfigCase{"KeyOutsideASection", "port = \"/dev/ttyUSB0\"\n",
        "t.conf:1:1: unknown key port (did you mean display.port?)"},
    ConfigCase{"UnknownKeyFarFromAny", "[rotation]\nspeed = 3\n",
        "t.conf:2:1: unknown key rotation.speed; [rotation] takes seconds, sets"},
    ConfigCase{"MisspeltSection", "[dispaly]\nwidth = 20\n",
        "t.conf:1:2: unknown section [dispaly] (did you mean [display]?)"},
    ConfigCase{"BaudNotOfTheList", "[display]\nbaud = 9601\n",
        "t.conf:2:8: display.baud: 9601 is not one of 2400, 4800, 9600, 14400, 19200"},
    ConfigCase{"WidthOutOfRange", "[display]\nwidth = 200\n",
        "t.conf:2:9: display.width: 200 is not a whole number from 8 to 80"},
    ConfigCase{"NumberAsText", "[rotation]\nsets = \"2\"\n",
        "t.conf:2:8: rotation.sets: \"2\" is not a whole number from 1 to 4"},
    ConfigCase{"NumberTooLargeForAnyField", "[display]\nrefresh = 9223372036854775807\n",
        "t.conf:2:11: display.refresh: 9223372036854775807 is not a whole number from 1 to 999"},
    ConfigCase{"InitPastAByte", "[display]\ninit = 256\n",
        "t.conf:2:8: display.init: 256 is not a whole number from 0 to 255, or \"\" for none"},
    ConfigCase{"UnknownProtocol", "[display]\nprotocol = \"ba36\"\n",
        "t.conf:2:12: display.protocol: \"ba36\" is not one of \"plain\", \"cr\", \"ba63\", \"escpos\", \"cd5220\""},
    ConfigCase{"UnknownPlayer", "[source]\nplayer = \"winamp\"\n",
        "t.conf:2:10: source.player: \"winamp\" is not one of \"mpd\", \"mpris\", \"playlist\""},
    ConfigCase{"BooleanAsWord", "[display]\nswitched-on = \"yes\"\n",
        "t.conf:2:15: display.switched-on: \"yes\" is not true or false"},
    ConfigCase{"CrBoxWithoutBa63", "[plugin]\ncr-with-ba63 = true\n",
        "t.conf:2:16: plugin.cr-with-ba63: true applies only with display.protocol = \"ba63\""},
    ConfigCase{"SectionAsValue", "display = 5\n",
        "t.conf:1:11: display: 5 is not a section [display]"},
    ConfigCase{"BadScrollWord", "[[set]]\nlines = [\"a\", { text = \"b\", scroll = \"up\" }]\n",
        "t.conf:2:38: set[1].lines[2].scroll: \"up\" is not one of \"off\", \"left\", \"right\""},
    ConfigCase{"MisspeltLineKey", "[[set]]\nlines = [{ txt = \"a\" }]\n",
        "t.conf:2:12: unknown key set[1].lines[1].txt (did you mean text?)"},
    ConfigCase{"LineNeitherTextNorTable", "[[set]]\nlines = [\"a\", 5]\n",
        "t.conf:2:15: set[1].lines[2]: 5 is not a text or a table with text and scroll"},
    ConfigCase{"NineLines", "[[set]]\nlines = [\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\",\"8\",\"9\"]\n",
        "t.conf:2:42: set[1].lines[9]: a set has at most 8 lines"},
    ConfigCase{"FiveSets", "[[set]]\n[[set]]\n[[set]]\n[[set]]\n[[set]]\n",
        "t.conf:5:1: set: at most 4 text sets"},
    ConfigCase{"LongTextCut", "[display]\nwidth = \"0123456789012345678901234567890123456789xyz\"\n",
        "t.conf:2:9: display.width: \"0123456789012345678901234567890123456789\"... is not a whole number from 8 to 80"},
    ConfigCase{"SyntaxError", "[display]\nbaud = \n",
        "t.conf:2:8: Error while parsing key-value pair: expected value, saw '\\n'"},
    ConfigCase{"KeyGivenTwice", "[display]\nwidth = 20\nwidth = 40\n",
        "t.conf:3:9: Error while parsing key-value pair: cannot redefine existing integer 'width'"},
    ConfigCase{"EveryProblemInTheFilesOrder",
        "[rotation]\nsets = 9\n[display]\nwidht = 20\nbaud = 1\n",
        "t.conf:2:8: rotation.sets: 9 is not a whole number from 1 to 4\n"
        "t.conf:4:1: unknown key display.widht (did you mean display.width?)\n"
        "t.conf:5:8: display.baud: 1 is not one of 2400, 4800, 9600, 14400, 19200"}
), CaseName());
// clang-format on

/// Every value of the plug-in's file away from its start value, in range, with texts holding
/// quotes, backslashes, control bytes, Windows-1252's own characters and its undefined bytes.
Settings EveryValueChanged() {
    Settings s;
    s.ComPort = 9;
    s.LineWidth = 80;
    s.UpdateInterval = 1;
    s.LineCount = 8;
    s.Separator = "\"\\\x01\x7F\x80\x81\x9D\xFF";
    s.InitCommand = "-1";
    s.ShowMainWindow = s.MainWindowMinimized = s.DisplayOff = false;
    for (int set = 1; set <= kTextSetCount; ++set) {
        for (int line = 1; line <= kLinesPerSet; ++line) {
            s.Slot(set, line) = {"%titel " + std::to_string(set * 10 + line) + " \xE4\x96\x8D",
                                 (set + line) % 4 - 1};
        }
    }
    s.BaudRateIndex = 0;
    s.SendCarriageReturn = s.Ba63Mode = true;
    s.SetChangeSeconds = 255;
    s.SetCount = 4;
    s.ReplaceUmlauts = false;
    return s;
}

TEST(ConfigFile, TheWrittenFileGivesBackEveryValue) {
    for (const auto& [name, settings] : {std::pair{"start values", Settings{}},
                                         std::pair{"every value changed", EveryValueChanged()}}) {
        LumdConfig config;
        config.Display = settings;
        const std::string text = WriteConfig(config, WriteStyle::Export, "a heading");
        EXPECT_EQ(ParseConfig(text, "t.conf").Display, settings) << name << ":\n" << text;
    }
}

TEST(ConfigFile, TheExampleIsAllCommentsAndReadsAsTheDefaults) {
    LumdConfig config;
    config.Own.Port = "/dev/ttyS3"; // an example shows it, commented
    const std::string text = WriteConfig(config, WriteStyle::Example, "heading");
    const LumdConfig read = ParseConfig(text, "t.conf");
    EXPECT_EQ(read.Display, LumdConfig{}.Display);
    EXPECT_EQ(read.Own, OwnSettings{});
    EXPECT_EQ(read.Rules, DisplayOptions{});
    EXPECT_NE(text.find("\n#port = \"/dev/ttyS3\"\n"), std::string::npos) << text;
}

} // namespace
} // namespace lum::lumd
