// How the engine's frame changes with time alone, by what it shows and the player's state; and
// the text folded for the display's character set after the umlaut rule, at the width it shows.
#include "DisplayTestSupport.h"

#include <gtest/gtest.h>

namespace lum::test {
namespace {

using FrameMotionTest = DisplayTest;

TEST_F(FrameMotionTest, FollowsWhatTheFrameShows) {
    struct Case {
        const char* Name;
        std::string Line1;
        std::int32_t ScrollMode;
        std::int32_t State; ///< 0 stopped, 1 playing, 3 paused
        std::optional<Overlay> Screen;
        FrameMotion Expected;
    };
    const std::string longTitle = "%titel and more than twenty cells";
    const Case cases[] = {
        {"title and state", "%titel %status", kScrollOff, 1, {}, FrameMotion::Still},
        {"position playing", "%winampzeit", kScrollOff, 1, {}, FrameMotion::Ticks},
        {"time left playing", "%winampzeitr", kScrollOff, 1, {}, FrameMotion::Ticks},
        {"position paused", "%winampzeit", kScrollOff, 3, {}, FrameMotion::Still},
        {"position stopped", "%winampzeitr", kScrollOff, 0, {}, FrameMotion::Still},
        {"time to the minute", "%zeit", kScrollOff, 0, {}, FrameMotion::Minutes},
        {"date", "%datum", kScrollOff, 0, {}, FrameMotion::Minutes},
        {"time to the second", "%zeits", kScrollOff, 0, {}, FrameMotion::Ticks},
        {"long line scrolling", longTitle, kScrollLeft, 0, {}, FrameMotion::Ticks},
        {"long line cut", longTitle, kScrollOff, 0, {}, FrameMotion::Still},
        {"a screen of the time over a running position", "%winampzeit", kScrollOff, 1,
         Overlay{{"%zeit"}, true}, FrameMotion::Minutes},
        {"a screen never scrolls", longTitle, kScrollLeft, 1, Overlay{{longTitle}, true},
         FrameMotion::Still},
        {"the plug-in's banner over a running position", "%winampzeit", kScrollOff, 1,
         PluginBanner(), FrameMotion::Still},
    };
    settings.LineCount = 1;
    for (const Case& c : cases) {
        settings.Slot(1, 1) = {c.Line1, c.ScrollMode};
        host.PlayState = c.State;
        engine.ShowInstead(c.Screen);
        engine.WriteDisplayFrame();
        EXPECT_EQ(engine.Motion(), c.Expected) << c.Name;
    }
    EXPECT_EQ(engine.MsToNextMinute(), 51'000u) << "the clock stands at 14:05:09";
}

TEST_F(FrameMotionTest, TheFoldComesAfterTheUmlautRuleAndScrollsAtItsWidth) {
    struct Case {
        const char* Name;
        bool ReplaceUmlauts;
        const char* Charset;
        std::int32_t Offset;
        std::string Shown;
    };
    // "Mötley Crüe – Dr. Feelgood …" in Windows-1252, the separator an en dash between blanks.
    const Case cases[] = {
        {"umlauts replaced, then folded", true, "ascii", 0, "Moetley Cruee - Dr. "},
        {"umlauts folded", false, "ascii", 0, "Motley Crue - Dr. Fe"},
        {"the set has the umlauts", false, "cp437", 0,
         "M\xF6tley Cr\xFC"
         "e - Dr. Fe"},
        {"scrolled past the folded end", false, "ascii", 25, "d ... - Motley Crue "},
        {"nothing folded without a set", false, nullptr, 25,
         "d \x85 \x96 M\xF6tley Cr\xFC"
         "e \x96 "},
    };
    host.Title = "M\xF6tley Cr\xFC"
                 "e \x96 Dr. Feelgood \x85";
    settings.Separator = " \x96 ";
    settings.Slot(1, 1) = {"%titel", kScrollLeft};
    settings.LineCount = 1;
    for (const Case& c : cases) {
        settings.ReplaceUmlauts = c.ReplaceUmlauts;
        engine.SetCharset(c.Charset != nullptr ? DisplayCharset::Find(c.Charset) : nullptr);
        shown.ScrollOffset(1, 1) = c.Offset;
        port.Writes.clear();
        engine.WriteDisplayFrame();
        ASSERT_EQ(port.Writes.size(), 1u) << c.Name;
        EXPECT_EQ(port.Writes[0], c.Shown) << c.Name;
    }
}

} // namespace
} // namespace lum::test
