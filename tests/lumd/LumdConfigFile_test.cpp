// lumd on its text configuration: the same frames as from the plug-in's settings file holding the
// same values (the text written by lumctl export), and the file read again on SIGHUP, one it
// cannot use leaving the running settings.
#include "LumdBed.h"
#include "TestMusic.h"

#include <algorithm>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace lum::lumd::testing {
namespace {

using namespace std::chrono_literals;

/// What the line showed: each control byte, and each frame once for as long as it stays.
std::vector<std::string> Shown(const std::vector<LineEvent>& events) {
    std::vector<std::string> shown;
    for (const LineEvent& event : events) {
        std::string text = event.IsFrame() ? "" : "control " + std::to_string(event.Control);
        for (const std::string& line : event.Lines) {
            text += line + "|";
        }
        if (shown.empty() || shown.back() != text) {
            shown.push_back(text);
        }
    }
    return shown;
}

/// lumd on the playlist with the file options `file`, from its start to the frames after the
/// banner and its quit: what the line showed.
std::vector<std::string> ShownUntilQuit(LumdBed& bed, const std::string& playlist,
                                        const std::vector<std::string>& file) {
    const std::size_t mark = bed.Line().Mark();
    LumdProcess& lumd = bed.Start({"--playlist", playlist}, true, file);
    EXPECT_TRUE(bed.WaitForStart(mark)) << lumd.Output();
    std::this_thread::sleep_for(700ms);
    lumd.Signal(SIGTERM);
    EXPECT_EQ(lumd.WaitForExit(5s), 0) << lumd.Output();
    return Shown(bed.Line().EventsFrom(mark));
}

TEST(LumdConfigFile, ShowsTheSameFramesAsThePluginsFileWithTheSameValues) {
    LumdBed bed;
    Settings settings = TestSettings();
    settings.InitCommand = "27";
    settings.ReplaceUmlauts = false;
    settings.Slot(1, 2) = {"%status \xFC\x92\x80 %id3album", kScrollOff}; // "ü’€": no time shown
    bed.WriteSettings(settings);
    const CommandResult exported =
        RunCommand({LUMCTL_PROGRAM, "export", bed.SettingsFile()}, false);
    ASSERT_EQ(exported.ExitCode, 0);
    const std::string config = bed.Path("lumd.conf");
    std::ofstream(config) << exported.Output;
    const std::string playlist = WritePlaylist(bed.Path("music"));

    const std::vector<std::string> fromSettings = ShownUntilQuit(bed, playlist, {});
    const std::vector<std::string> fromConfig = ShownUntilQuit(bed, playlist, {"--config", config});
    EXPECT_EQ(fromConfig, fromSettings) << exported.Output;
    EXPECT_NE(std::ranges::find(fromSettings, "control 27"), fromSettings.end());
    EXPECT_NE(std::ranges::find_if(fromSettings,
                                   [](const std::string& frame) {
                                       return frame.find("PLAY  \xFC\x92\x80 ") !=
                                              std::string::npos;
                                   }),
              fromSettings.end())
        << ::testing::PrintToString(fromSettings);
}

/// A configuration of the tests' display with `lines` as set 1 and `more` after it.
std::string TestConfig(const std::string& lines, const std::string& more = "") {
    return "[display]\nwidth = 40\nbaud = 9600\n" + more + "[[set]]\nlines = [" + lines + "]\n";
}

TEST(LumdConfigFile, IsReadAgainOnSighupAndKeptWhenItCannotBeUsed) {
    LumdBed bed;
    const std::string config = bed.Path("lumd.conf");
    std::ofstream(config) << TestConfig("\"%titel\", \"%status %id3album\"");
    LumdProcess& lumd =
        bed.Start({"--playlist", WritePlaylist(bed.Path("music"))}, true, {"--config", config});
    ASSERT_TRUE(bed.WaitForStart()) << lumd.Output();

    std::ofstream(config) << TestConfig("\"Reread %titel\", \"%status\"",
                                        "protocol = \"escpos\"\n");
    const std::size_t reread = bed.Line().Mark();
    lumd.Signal(SIGHUP);
    const auto shown = bed.WaitForStart(reread);
    ASSERT_TRUE(shown) << lumd.Output();
    EXPECT_TRUE(LineStarts(0, "Reread " + DisplayTitle(StandardTracks()[0]))(*shown))
        << shown->Lines[0];
    EXPECT_TRUE(lumd.WaitForOutput("settings read again from " + config, 1s)) << lumd.Output();
    EXPECT_NE(lumd.Output().find("warning: SIGHUP: the player, the display's port and its "
                                 "protocol change only when lumd starts again"),
              std::string::npos)
        << lumd.Output();

    std::ofstream(config) << "[display]\nwidht = 40\n";
    const std::size_t bad = bed.Line().Mark();
    lumd.Signal(SIGHUP);
    ASSERT_TRUE(lumd.WaitForOutput(config + ":2:1: unknown key display.widht (did you mean "
                                            "display.width?); the running settings stay",
                                   3s))
        << lumd.Output();
    // The next track shows with the running settings, no start sequence before it.
    lumd.Send("next");
    ASSERT_TRUE(
        bed.Line().WaitFor(bad, LineStarts(0, "Reread " + DisplayTitle(StandardTracks()[1])), 2s))
        << lumd.Output();
    for (const LineEvent& event : bed.Line().EventsFrom(bad)) {
        EXPECT_TRUE(LineStarts(0, "Reread ")(event)) << "frames as before, nothing else";
    }
}

} // namespace
} // namespace lum::lumd::testing
