// lumd's rules on the driver alone, on virtual time: the banner (none, the plug-in's, lumd's
// own), frames only when they changed with the refresh asleep while nothing moves, a screen in
// place of the set and a blank display at once, the display's character set on the line, the
// start heard, and a frame the busy line could not take sent at the next tick.
#include "DriverBed.h"
#include "display/DisplayEngine.h"
#include "driver/SettingsApply.h"
#include "host/HostPlayer.h"

namespace lum::test {
namespace {

/// The driver with lumd's rules on a recording line, the display on, 2 x 20 at 9600 baud.
struct RulesBed {
    platform::virtualtime::VirtualUiLoop loop;
    platform::headless::HeadlessUi ui{loop};
    FormHost host{ui};
    host::FixedHost player;
    HostPlayer nowPlaying{player.Messenger()};
    std::vector<LineWrite> writes;
    RecordingLine* line = nullptr;
    Settings settings;
    std::unique_ptr<DisplayDriver> driver;
    std::unique_ptr<SettingsApply> apply;
    int started = 0;

    explicit RulesBed(const DisplayRules& rules) {
        settings.DisplayOff = false;
        settings.Slot(1, 1) = {"%titel", kScrollLeft};
        settings.Slot(1, 2) = {"%status %winampzeit", kScrollOff};
        player.Title = "Short";
        auto owned = std::make_unique<RecordingLine>(loop, writes);
        line = owned.get();
        driver = std::make_unique<DisplayDriver>(host, std::move(owned), settings, nowPlaying);
        driver->SetRules(rules);
        driver->OnStarted = [this] { ++started; };
        apply = std::make_unique<SettingsApply>(host, *driver, settings);
        apply->Apply(settings, ApplyOccasion::StartUp, std::nullopt);
    }
    /// The writes after the start sequence's two, with their times.
    [[nodiscard]] std::vector<LineWrite> Frames() const {
        return {writes.begin() + std::min<std::ptrdiff_t>(2, std::ssize(writes)), writes.end()};
    }
};

DisplayRules LumdRules(std::optional<Overlay> banner = PluginBanner()) {
    return {.Charset = nullptr, .Banner = std::move(banner), .RefreshOnlyWhenChanging = true};
}

std::string TwoLines(const std::string& line1, const std::string& line2) {
    return line1 + std::string(20 - line1.size(), ' ') + line2 +
           std::string(20 - line2.size(), ' ');
}

TEST(DisplayRules, TheBannerOfTheStartAndNoFrameWhileNothingChanges) {
    struct Case {
        const char* Name;
        std::optional<Overlay> Banner;
        std::vector<LineWrite> Expected; ///< the frames of the first 20 s
    };
    const std::string set = TwoLines("Short", "STOP  00:00");
    const Case cases[] = {
        {"the plug-in's banner for 4 s",
         PluginBanner(),
         {{1'550, TwoLines(" Winamp  Lum Plugin", " Code: the Lum team")}, {5'250, set}}},
        {"no banner", std::nullopt, {{1'550, set}}},
        {"a banner of templates",
         Overlay{{"Music box", "%status"}, true},
         {{1'550, TwoLines("Music box", "STOP")}, {5'250, set}}},
    };
    for (const Case& c : cases) {
        RulesBed bed(LumdRules(c.Banner));
        bed.loop.RunFor(20'000);
        EXPECT_EQ(bed.Frames(), c.Expected) << c.Name;
        EXPECT_EQ(bed.started, 1) << c.Name;
        EXPECT_FALSE(bed.host.Timer(DriverTimer::Refresh).Enabled()) << c.Name << ": awake";
    }
}

TEST(DisplayRules, AfterTheBannerAScrollingTitleStartsFromItsFirstCharacter) {
    RulesBed bed(LumdRules());
    bed.player.Title = "A title longer than the twenty cells";
    bed.loop.RunFor(5'300);
    const std::vector<LineWrite> expected = {
        {1'550, TwoLines(" Winamp  Lum Plugin", " Code: the Lum team")},
        {5'250, TwoLines("A title longer than ", "STOP  00:00")},
    };
    EXPECT_EQ(bed.Frames(), expected);
}

TEST(DisplayRules, TicksOnlyWhileAFrameMovesAndSendsOnlyWhatChanged) {
    RulesBed bed(LumdRules(std::nullopt));
    bed.player.PlayState = 1;
    bed.player.PositionMs = 0;
    bed.loop.RunFor(1'600); // the first frame at 1550 shows PLAY 00:00
    bed.player.PositionMs = 400;
    bed.loop.RunFor(1'200); // ticks at 1850, 2150, 2450, 2750: the text stays
    bed.player.PositionMs = 1'000;
    bed.loop.RunFor(300); // 3050: 00:01
    bed.player.PlayState = 3;
    bed.driver->ShowNow(); // paused: the position stands
    const std::uint64_t paused = bed.loop.Now();
    bed.loop.RunFor(10'000);
    bed.player.Title = "A title longer than the twenty cells";
    bed.driver->ScrollFromStart();
    bed.driver->ShowNow();
    bed.loop.RunFor(300);
    const std::vector<LineWrite> expected = {
        {1'550, TwoLines("Short", "PLAY  00:00")},
        {3'050, TwoLines("Short", "PLAY  00:01")},
        {paused, TwoLines("Short", "PAUSE 00:01")},
        {paused + 10'000, TwoLines("A title longer than ", "PAUSE 00:01")},
        {paused + 10'300, TwoLines(" title longer than t", "PAUSE 00:01")},
    };
    EXPECT_EQ(bed.Frames(), expected);
    EXPECT_TRUE(bed.host.Timer(DriverTimer::Refresh).Enabled()) << "a scrolling line ticks";
}

TEST(DisplayRules, AScreenInPlaceOfTheSetAndABlankDisplayAtOnce) {
    RulesBed bed(LumdRules(std::nullopt));
    bed.loop.RunFor(2'000);
    bed.driver->ShowInstead(Overlay{{"Resting", "%status"}, true});
    bed.loop.RunFor(1'000);
    bed.driver->SetBlank(true);
    bed.loop.RunFor(1'000);
    bed.driver->ShowInstead(std::nullopt);
    bed.driver->SetBlank(false);
    const std::vector<LineWrite> expected = {
        {1'550, TwoLines("Short", "STOP  00:00")},
        {2'000, TwoLines("Resting", "STOP")},
        {3'000, std::string(40, ' ')},
        {4'000, TwoLines("Short", "STOP  00:00")},
    };
    EXPECT_EQ(bed.Frames(), expected);
}

TEST(DisplayRules, TheDisplaysCharacterSetOnTheLine) {
    DisplayRules rules = LumdRules(std::nullopt);
    rules.Charset = DisplayCharset::Find("cp437");
    RulesBed bed(rules);
    bed.player.Title = "Caf\xE9 \x85"; // "Café …" in Windows-1252
    bed.loop.RunFor(1'600);
    ASSERT_EQ(bed.Frames().size(), 1u);
    EXPECT_EQ(bed.Frames()[0].Bytes, TwoLines("Caf\x82 ...", "STOP  00:00"));
}

TEST(DisplayRules, AFrameTheBusyLineCouldNotTakeWaitsForTheNextTick) {
    RulesBed bed(LumdRules(std::nullopt));
    bed.loop.RunFor(2'000);
    bed.line->Stuck = true;
    bed.player.Title = "Next";
    bed.driver->ShowNow();
    EXPECT_TRUE(bed.driver->FrameWaiting());
    bed.loop.RunFor(100);
    bed.line->Stuck = false;
    bed.loop.RunFor(400);
    const std::vector<LineWrite> frames = bed.Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1], (LineWrite{2'300, TwoLines("Next", "STOP  00:00")}))
        << "at the next tick, on a line that cannot tell the write's end";
    EXPECT_FALSE(bed.driver->FrameWaiting());
    EXPECT_FALSE(bed.host.Timer(DriverTimer::Refresh).Enabled()) << "asleep again";
}

} // namespace
} // namespace lum::test
