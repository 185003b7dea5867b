// The lumd program end to end: a real player (MPD driven by mpc; mpv with mpv-mpris driven by
// playerctl on a private session bus), lumd on a pty the test reads, and what the display shows:
// the start sequence and the playing title, track changes and pauses promptly, the position
// second by second, the player going away and coming back, the device unplugged and back.
#include "CaseName.h"
#include "LumdBed.h"
#include "MpdServer.h"
#include "SessionBus.h"
#include "TestMusic.h"

#include <csignal>
#include <gtest/gtest.h>
#include <regex>
#include <thread>

namespace lum::lumd::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// One refresh interval and 100 ms: how soon a change must be on the line.
constexpr auto kPromptly = 300ms + 100ms;

// The player under test, driven by its own tool.
class PlayerSide {
public:
    virtual ~PlayerSide() = default;
    /// lumd's source options for this player.
    [[nodiscard]] virtual std::vector<std::string> Arguments() = 0;
    /// The tool's command: next, pause, play.
    virtual void Command(const std::string& word) = 0;
    /// The title the player itself says it plays.
    [[nodiscard]] virtual std::string PlayingTitle() = 0;
    /// The player ends at once.
    virtual void Kill() = 0;
    /// The player is back, playing the standard tracks from the first.
    virtual void Restart() = 0;
};

class MpdSide final : public PlayerSide {
public:
    MpdSide() { server_.PlayStandardTracks(); }
    std::vector<std::string> Arguments() override { return {"--mpd", server_.Socket()}; }
    void Command(const std::string& word) override { server_.Mpc({word}); }
    std::string PlayingTitle() override { return server_.Mpc({"-f", "%title%", "current"}); }
    void Kill() override { server_.Kill(); }
    void Restart() override {
        server_.Restart();
        server_.Mpc({"update", "--wait"});
        server_.PlayStandardTracks();
    }

private:
    MpdServer server_;
};

class MprisSide final : public PlayerSide {
public:
    MprisSide() { player_ = bus_.StartPlayer(StandardFiles()); }
    std::vector<std::string> Arguments() override { return {"--mpris"}; }
    void Command(const std::string& word) override { bus_.Playerctl({word}); }
    std::string PlayingTitle() override { return bus_.Playerctl({"metadata", "title"}); }
    void Kill() override { bus_.StopPlayer(player_); }
    void Restart() override { player_ = bus_.StartPlayer(StandardFiles()); }

private:
    SessionBus bus_;
    std::size_t player_ = 0;
};

struct SideCase {
    const char* Name;
    friend void PrintTo(const SideCase& c, std::ostream* out) { *out << c.Name; }
    std::string (*Missing)();
    std::unique_ptr<PlayerSide> (*Make)();
};

std::string MissingForMpd() {
    return MissingPrograms(MpdServer::Programs());
}

class LumdFollows : public ::testing::TestWithParam<SideCase> {
protected:
    void SetUp() override {
        if (const std::string missing = GetParam().Missing(); !missing.empty()) {
            GTEST_SKIP() << "missing: " << missing;
        }
        side_ = GetParam().Make();
    }

    // Runs the player's command and answers the first frame after it that passes `test`, and
    // how long after the command's start it came.
    std::pair<std::optional<LineEvent>, Clock::duration> After(const std::function<void()>& act,
                                                               const EventTest& test) {
        const std::size_t mark = bed_.Line().Mark();
        const auto start = Clock::now();
        act();
        const auto event = bed_.Line().WaitFor(mark, test, 3s);
        return {event, event ? event->At - start : Clock::duration::max()};
    }

    std::unique_ptr<PlayerSide> side_;
    LumdBed bed_;
};

TEST_P(LumdFollows, ThePlayerAsThePluginShowsIt) {
    const std::vector<TestTrack>& tracks = StandardTracks();
    DisplayLine& line = bed_.Line();
    bed_.Start(side_->Arguments());

    // The start sequence, the banner, then the playing file: its title, and its album from the
    // file's own ID3v1 tag (the file is on this machine).
    const auto first = bed_.WaitForStart();
    ASSERT_TRUE(first) << bed_.Lumd().Output();
    const std::vector<LineEvent> start = line.EventsFrom(0);
    ASSERT_GE(start.size(), 3U);
    EXPECT_TRUE(ControlIs(0x14)(start[0]) && ControlIs('\r')(start[1]) &&
                ControlIs('\n')(start[2]));
    EXPECT_TRUE(LineStarts(0, DisplayTitle(tracks[0]))(*first)) << first->Lines[0];
    EXPECT_TRUE(LineStarts(1, "PLAY ")(*first)) << first->Lines[1];
    EXPECT_NE(first->Lines[1].find(tracks[0].Album), std::string::npos) << first->Lines[1];

    const auto [next, nextTook] =
        After([&] { side_->Command("next"); }, LineStarts(0, DisplayTitle(tracks[1])));
    ASSERT_TRUE(next) << "the next title did not show";
    EXPECT_LE(nextTook, kPromptly);
    const auto [paused, pauseTook] =
        After([&] { side_->Command("pause"); }, LineStarts(1, "PAUSE"));
    ASSERT_TRUE(paused) << "the pause did not show";
    EXPECT_LE(pauseTook, kPromptly);

    // Playing again: the position runs on second by second.
    const std::size_t playing = line.Mark();
    side_->Command("play");
    std::this_thread::sleep_for(3500ms);
    std::vector<int> seconds;
    const std::regex time("(\\d\\d):(\\d\\d)");
    for (const LineEvent& event : line.EventsFrom(playing)) {
        std::smatch found;
        if (event.IsFrame() && std::regex_search(event.Lines[1], found, time)) {
            const int second = std::stoi(found[1]) * 60 + std::stoi(found[2]);
            if (seconds.empty() || seconds.back() != second) {
                seconds.push_back(second);
            }
        }
    }
    ASSERT_GE(seconds.size(), 4U) << "frames over 3.5 s of playing";
    for (std::size_t i = 1; i < seconds.size(); ++i) {
        EXPECT_EQ(seconds[i], seconds[i - 1] + 1) << "second " << i;
    }

    // lumd's own transport command reaches the player.
    const auto [back, backTook] =
        After([&] { bed_.Lumd().Send("prev"); }, LineStarts(0, DisplayTitle(tracks[0])));
    ASSERT_TRUE(back) << "prev on lumd's input did not show";
    EXPECT_TRUE(WaitFor([&] { return side_->PlayingTitle() == tracks[0].Title + "\n"; }, 2s));
    // And the main window's brightness buttons are there too.
    const std::size_t dimmed = line.Mark();
    bed_.Lumd().Send("brightness 3");
    EXPECT_TRUE(line.WaitFor(dimmed, ControlIs(0x02), 1s)) << "the byte of \"Hell 3\"";

    // The player goes: stopped at once; it comes back: playing again within 2 s.
    const auto [gone, goneTook] = After([&] { side_->Kill(); }, LineStarts(1, "STOP "));
    ASSERT_TRUE(gone) << "the player's end did not show";
    EXPECT_LE(goneTook, kPromptly + 200ms); // the kill itself waits for the process
    const auto [again, againTook] =
        After([&] { side_->Restart(); }, LineStarts(0, DisplayTitle(tracks[0])));
    ASSERT_TRUE(again) << "the player's return did not show";
    EXPECT_LE(againTook, 2s + 1s); // the restart itself waits until the player answers

    // The device is unplugged and back: the start sequence and frames again, as the plug-in.
    line.Unplug();
    std::this_thread::sleep_for(1500ms);
    const std::size_t replug = line.Mark();
    const auto plugged = Clock::now();
    line.PlugIn();
    const auto init = line.WaitFor(replug, ControlIs(0x14), 3s);
    ASSERT_TRUE(init) << "no start sequence on the new device";
    const auto frame = line.WaitFor(init->Index + 1, AnyFrame(), 3s);
    ASSERT_TRUE(frame);
    EXPECT_LT(frame->At - plugged, 3s);
    // Said once each at the default level, whatever the attempts to open it in between.
    const std::string output = bed_.Lumd().Output();
    for (const char* said : {"warning: display device gone: ", "info: display device back: "}) {
        const std::string logged = "lumd: " + std::string(said) + line.Link();
        EXPECT_NE(output.find(logged), std::string::npos) << output;
        EXPECT_EQ(output.find(logged), output.rfind(logged)) << output;
    }
    EXPECT_EQ(bed_.Lumd().Output().find("error"), std::string::npos) << bed_.Lumd().Output();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Players, LumdFollows, ::testing::Values(
    SideCase{"Mpd",   &MissingForMpd,       [] { return std::unique_ptr<PlayerSide>(new MpdSide); }},
    SideCase{"Mpris", &SessionBus::Missing, [] { return std::unique_ptr<PlayerSide>(new MprisSide); }}),
    CaseName());
// clang-format on

} // namespace
} // namespace lum::lumd::testing
