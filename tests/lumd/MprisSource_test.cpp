// MprisSource against real mpv players (with mpv-mpris) on a private session bus, driven with
// playerctl.
#include "CaseName.h"
#include "SessionBus.h"
#include "SourceSteps.h"
#include "SourceWatch.h"
#include "TestMusic.h"
#include "apps/lumd/MprisSource.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

namespace lum::lumd::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kFirstPlayer = "org.mpris.MediaPlayer2.mpv";

bool IsConnected(const TrackSnapshot& snapshot) {
    return snapshot.Connected;
}

bool IsGone(const TrackSnapshot& snapshot) {
    return !snapshot.Connected && snapshot.State == PlayState::Stopped && !snapshot.HasEntry;
}

// A private bus, a source on it and what the source publishes and logs.
class MprisSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string missing = SessionBus::Missing(); !missing.empty()) {
            GTEST_SKIP() << "missing: " << missing;
        }
        bus_ = std::make_unique<SessionBus>();
    }

    StartResult StartSource(const std::string& filter = {}) {
        MprisSourceOptions options;
        options.NameFilter = filter;
        options.OnChange = watch_.Callback();
        source_ = std::make_unique<MprisSource>(options, log_.Sink());
        watch_.Watch(*source_);
        return StartAndWait(*source_);
    }

    bool Sees(const std::function<bool(const TrackSnapshot&)>& wanted,
              std::chrono::milliseconds timeout = kSourcePatience) {
        return WaitFor([&] { return wanted(source_->Current()); }, timeout);
    }

    std::unique_ptr<SessionBus> bus_;
    LogCapture log_;
    SourceWatch watch_;
    std::unique_ptr<MprisSource> source_;
};

TEST_F(MprisSourceTest, ShowsThePlayingEntryAsALocalFile) {
    bus_->StartPlayer(StandardFiles());
    ASSERT_EQ(StartSource().Outcome, StartOutcome::Ready);
    const TestTrack& first = StandardTracks()[0];
    ASSERT_TRUE(Sees(TitleIs(DisplayTitle(first))));
    ASSERT_TRUE(Sees(StateIs(PlayState::Playing)));
    EXPECT_EQ(source_->PlayerName(), kFirstPlayer);
    EXPECT_EQ(source_->ListPosition(), 0); // mpv-mpris has no TrackList interface
    EXPECT_EQ(source_->LengthSeconds(), 30);
    EXPECT_EQ(source_->EntryFileName(0), bus_->MusicFolder() + "/" + first.File);
    ASSERT_NE(source_->PlayerTag(), nullptr); // for a file without a tag of its own
    EXPECT_EQ(source_->PlayerTag()->Album, first.Album);
}

TEST_F(MprisSourceTest, RemoteFilesShowThePlayersTagsInWindows1252) {
    const std::string url = bus_->ServeOverHttp(StandardTracks()[2].File);
    bus_->StartPlayer({url});
    ASSERT_EQ(StartSource().Outcome, StartOutcome::Ready);
    ASSERT_TRUE(Sees(TitleIs("M\xF6tley Cr\xFC"
                             "e - \xC4rger \xFC"
                             "ber 5 \x80 und ? mit Sto\xDF am Ende")));
    EXPECT_EQ(source_->EntryFileName(0), ""); // no local file for the engine to open
    const TID3Info* tag = source_->PlayerTag();
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->Artist, "M\xF6tley Cr\xFC"
                           "e");
    EXPECT_EQ(tag->Title, "\xC4rger \xFC"
                          "ber 5 \x80 und ? mit Sto\xDF ");
    EXPECT_EQ(tag->Album, "Ein Album mit einem sehr lange");
    EXPECT_EQ(tag->Year, "1999");
    EXPECT_EQ(tag->Genre, 75); // Polka
    // mpv-mpris sends neither the comment nor the track number.
    EXPECT_EQ(tag->Comment, "");
    EXPECT_EQ(tag->Track, 0);
}

TEST_F(MprisSourceTest, PlayerChangesReachTheSourceAtOnce) {
    bus_->StartPlayer(StandardFiles());
    ASSERT_EQ(StartSource().Outcome, StartOutcome::Ready);
    ASSERT_TRUE(Sees(TitleIs(DisplayTitle(StandardTracks()[0]))));
    ExpectStepsFollowed(
        watch_, PlayerCommandSteps([this](const std::string& word) { bus_->Playerctl({word}); }),
        kSourcePromptly);
}

TEST_F(MprisSourceTest, PositionRunsOnWithoutAskingThePlayer) {
    bus_->StartPlayer(StandardFiles());
    ASSERT_EQ(StartSource().Outcome, StartOutcome::Ready);
    ASSERT_TRUE(Sees(TitleIs(DisplayTitle(StandardTracks()[0]))));
    ASSERT_TRUE(Sees(StateIs(PlayState::Playing)));
    // A player may report more as it settles (mpv: the length, the first position).
    ASSERT_TRUE(watch_.WaitQuiet(300ms, kSourcePatience));
    ExpectPositionRunsOnQuietly(watch_, *source_);
    const double playerSeconds = std::stod(bus_->Playerctl({"position"}));
    EXPECT_NEAR(source_->PositionMs() / 1000.0, playerSeconds, 0.15);
}

TEST_F(MprisSourceTest, TransportCommandsReachThePlayer) {
    bus_->StartPlayer(StandardFiles());
    ASSERT_EQ(StartSource().Outcome, StartOutcome::Ready);
    ASSERT_TRUE(Sees(TitleIs(DisplayTitle(StandardTracks()[0]))));
    // mpv empties its playlist on Stop, so Stop comes last.
    ExpectStepsFollowed(watch_, TransportSteps(*source_));
    EXPECT_TRUE(log_.Lines(LogLevel::Warning).empty());
}

TEST_F(MprisSourceTest, PlayerLeavingReadsStoppedAndTheNextOneIsFollowed) {
    const std::size_t player = bus_->StartPlayer(StandardFiles());
    ASSERT_EQ(StartSource().Outcome, StartOutcome::Ready);
    ASSERT_TRUE(Sees(StateIs(PlayState::Playing)));

    bus_->StopPlayer(player);
    ASSERT_TRUE(Sees(IsGone)) << "the player's leaving did not show";
    EXPECT_EQ(source_->PlayerName(), "");

    const auto start = Clock::now();
    bus_->StartPlayer({StandardTracks()[1].File});
    EXPECT_TRUE(Sees(TitleIs(DisplayTitle(StandardTracks()[1])), 2s));
    EXPECT_LT(Clock::now() - start, 2s + 1s);
    EXPECT_EQ(log_.Lines(LogLevel::Info, "left the session bus").size(), 1U);
    EXPECT_EQ(log_.Lines(LogLevel::Info, "following the MPRIS player").size(), 2U);
}

TEST_F(MprisSourceTest, BusWithoutPlayersIsWaitedOn) {
    const StartResult result = StartSource();
    EXPECT_EQ(result.Outcome, StartOutcome::Waiting);
    EXPECT_EQ(result.Message, "no MPRIS player on the session bus; waiting for one");
    EXPECT_TRUE(log_.Lines(LogLevel::Info, "no MPRIS player").empty()) << "told twice";
    EXPECT_TRUE(IsGone(source_->Current()));
    source_->Send(TransportCommand::Next);
    EXPECT_TRUE(WaitFor([&] { return !log_.Lines(LogLevel::Warning, "'next' dropped").empty(); },
                        kSourcePatience));

    bus_->StartPlayer({StandardTracks()[0].File});
    EXPECT_TRUE(Sees(TitleIs(DisplayTitle(StandardTracks()[0])), 2s));
    EXPECT_EQ(source_->PlayerName(), kFirstPlayer);
}

TEST_F(MprisSourceTest, NameChoosesThePlayer) {
    bus_->StartPlayer({StandardTracks()[0].File});
    bus_->StartPlayer({StandardTracks()[1].File});
    // The second mpv takes the name org.mpris.MediaPlayer2.mpv.instance<pid>.
    const struct {
        const char* Filter;
        StartOutcome Outcome;
        const char* NameStart;
        const char* Message;
    } cases[] = {
        {"", StartOutcome::Ready, kFirstPlayer, ""},
        {"instance", StartOutcome::Ready, "org.mpris.MediaPlayer2.mpv.instance", ""},
        {"vlc", StartOutcome::Waiting, "",
         "no MPRIS player on the session bus whose name contains 'vlc'; waiting for one"},
    };
    for (const auto& c : cases) {
        const StartResult result = StartSource(c.Filter);
        EXPECT_EQ(result.Outcome, c.Outcome) << c.Filter;
        EXPECT_EQ(result.Message, c.Message) << c.Filter;
        EXPECT_TRUE(source_->PlayerName().starts_with(c.NameStart)) << source_->PlayerName();
        if (*c.NameStart != '\0' && std::string_view(c.NameStart) != kFirstPlayer) {
            EXPECT_TRUE(Sees(TitleIs(DisplayTitle(StandardTracks()[1])))) << c.Filter;
        }
    }
}

TEST_F(MprisSourceTest, SessionBusRestartIsFollowed) {
    bus_->StartPlayer(StandardFiles());
    ASSERT_EQ(StartSource().Outcome, StartOutcome::Ready);
    ASSERT_TRUE(Sees(StateIs(PlayState::Playing)));

    bus_->StopBus();
    ASSERT_TRUE(Sees(IsGone));
    bus_->StartBus();
    EXPECT_TRUE(
        WaitFor([&] { return !log_.Lines(LogLevel::Info, "session bus: connected").empty(); }, 2s));
    bus_->StartPlayer({StandardTracks()[2].File});
    EXPECT_TRUE(Sees(IsConnected, 2s));
    EXPECT_EQ(log_.Lines(LogLevel::Warning, "D-Bus session bus lost").size(), 1U);
}

TEST(MprisSourceStart, NoSessionBusIsRefused) {
    const char* previous = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
    LogCapture log;
    MprisSource source(MprisSourceOptions{}, log.Sink());
    const StartResult result = StartAndWait(source);
    if (previous != nullptr) {
        setenv("DBUS_SESSION_BUS_ADDRESS", saved.c_str(), 1);
    } else {
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    EXPECT_EQ(result.Outcome, StartOutcome::Refused);
    EXPECT_EQ(result.Message, "no D-Bus session bus: No such file or directory");
}

} // namespace
} // namespace lum::lumd::testing
