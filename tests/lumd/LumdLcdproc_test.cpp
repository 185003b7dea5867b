// lumd as a client of a real LCDd from Debian (its text driver), following a real MPD: the title
// on LCDd's display at LCDd's size, a track change within one refresh interval and LCDd's frame
// interval, the screen given to another client while the player is stopped, LCDd killed and
// started again, and a title of the characters LCDd's parser takes for syntax.
#include "LcdServer.h"
#include "LumdBed.h"
#include "MpdServer.h"
#include "TestMusic.h"

#include <gtest/gtest.h>

namespace lum::lumd::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(LumdLcdproc, ShowsThePlayerOnLcddsDisplay) {
    if (std::string missing = MissingPrograms(MpdServer::Programs()) + LcdServer::Missing();
        !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    // A title of every character LCDd's parser reads as syntax, as a fourth track.
    const TestTrack syntax{"syntax.mp3", "Quote \"q\"", "{x} back\\slash \\\" }{"};
    MpdServer server;
    MakeTestMusic(server.MusicFolder(), {syntax}, 30);
    server.Mpc({"update", "--wait"});
    server.PlayStandardTracks();
    server.Mpc({"add", syntax.File});
    // LCDd's display is larger than the settings' 1 x 20: its size is the frame's, so that the
    // titles show whole and line 2 the state.
    LcdServer lcd(40, 4);
    LumdBed bed;
    Settings settings = TestSettings();
    settings.LineWidth = 20;
    settings.LineCount = 1;
    bed.WriteSettings(settings);
    LumdProcess& lumd = bed.Start({"--mpd", server.Socket(), "--lcdproc", lcd.Address()});

    const auto first = lcd.WaitFor(0, LcdLineStarts(0, DisplayTitle(StandardTracks()[0])), 10s);
    ASSERT_TRUE(first) << lumd.Output();
    ASSERT_EQ(first->Lines.size(), 4u);
    EXPECT_TRUE(first->Lines[1].starts_with("PLAY ")) << first->Lines[1];

    // LCDd renders every 1/8 s: a change shows within the refresh interval and that.
    const std::size_t changed = lcd.Mark();
    const auto nextAt = Clock::now();
    server.Mpc({"next"});
    const auto second =
        lcd.WaitFor(changed, LcdLineStarts(0, DisplayTitle(StandardTracks()[1])), 2s);
    ASSERT_TRUE(second) << lumd.Output();
    EXPECT_LT(second->At - nextAt, 300ms + 125ms + 50ms);

    // Another client's screen at priority info: below lumd's while playing, above it stopped.
    const OtherLcdClient other(lcd.Port(), "Media centre");
    std::this_thread::sleep_for(500ms);
    const std::size_t withOther = lcd.Mark();
    EXPECT_TRUE(lcd.WaitFor(withOther, LcdLineStarts(0, DisplayTitle(StandardTracks()[1])), 1s));
    server.Mpc({"stop"});
    EXPECT_TRUE(lcd.WaitFor(withOther, LcdLineStarts(0, "Media centre"), 1s)) << lumd.Output();
    const std::size_t played = lcd.Mark();
    server.Mpc({"play"});
    EXPECT_TRUE(lcd.WaitFor(played, LcdLineStarts(0, DisplayTitle(StandardTracks()[1])), 1s));

    lcd.Kill();
    ASSERT_TRUE(lumd.WaitForOutput("LCDd at " + lcd.Address() + " gone", 3s)) << lumd.Output();
    std::this_thread::sleep_for(2500ms);
    const std::size_t back = lcd.Mark();
    lcd.Restart();
    const auto returned = Clock::now();
    const auto again = lcd.WaitFor(back, LcdLineStarts(0, DisplayTitle(StandardTracks()[1])), 3s);
    ASSERT_TRUE(again) << lumd.Output();
    EXPECT_LT(again->At - returned, 2s);
    // Said once when LCDd went (waited for above), once when it was back.
    const std::string said = lumd.Output();
    EXPECT_EQ(said.find(" gone ("), said.rfind(" gone (")) << said;
    EXPECT_NE(said.find("LCDd back at "), std::string::npos) << said;
    EXPECT_EQ(said.find("LCDd back at "), said.rfind("LCDd back at ")) << said;

    const std::size_t last = lcd.Mark();
    server.Mpc({"play", "4"});
    const auto shown = lcd.WaitFor(last, LcdLineStarts(0, "Quote"), 2s);
    ASSERT_TRUE(shown) << lumd.Output();
    const std::string title = "Quote \"q\" - {x} back\\slash \\\" }{";
    EXPECT_EQ(shown->Lines[0], title + std::string(40 - title.size(), ' '));
    EXPECT_EQ(lumd.Output().find("huh?"), std::string::npos) << lumd.Output();
}

} // namespace
} // namespace lum::lumd::testing
