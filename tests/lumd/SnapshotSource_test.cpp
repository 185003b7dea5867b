#include "CaseName.h"
#include "apps/lumd/SnapshotSource.h"

#include <gtest/gtest.h>
#include <ostream>

namespace lum::lumd {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A source whose snapshot the test sets, on a clock the test moves.
class TestSource : public SnapshotSource {
public:
    explicit TestSource(const Clock::time_point* now)
        : SnapshotSource([now] { return *now; }, [this] { ++changes; }) {}
    using SnapshotSource::Publish;
    int changes = 0;
};

struct PositionCase {
    const char* Name;
    friend void PrintTo(const PositionCase& c, std::ostream* out) { *out << c.Name; }
    bool HasEntry;
    PlayState State;
    std::int64_t ElapsedMs;
    double Rate;
    std::int64_t LengthMs;
    std::chrono::milliseconds Later;
    std::int32_t Expected;
};

class InterpolatedPosition : public ::testing::TestWithParam<PositionCase> {};

TEST_P(InterpolatedPosition, RunsOnOnlyWhilePlaying) {
    const PositionCase& c = GetParam();
    Clock::time_point now{100s};
    TestSource source(&now);
    TrackSnapshot snapshot;
    snapshot.HasEntry = c.HasEntry;
    snapshot.State = c.State;
    snapshot.ElapsedMs = c.ElapsedMs;
    snapshot.Rate = c.Rate;
    snapshot.LengthMs = c.LengthMs;
    snapshot.At = now;
    source.Publish(snapshot);
    now += c.Later;
    EXPECT_EQ(source.PositionMs(), c.Expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, InterpolatedPosition, ::testing::Values(
    //           name                 entry  state               elapsed rate  length  later   position
    PositionCase{"Playing",           true,  PlayState::Playing, 1000,   1.0,  0,      2500ms, 3500},
    PositionCase{"PlayingFaster",     true,  PlayState::Playing, 1000,   2.0,  0,      2500ms, 6000},
    PositionCase{"Paused",            true,  PlayState::Paused,  1000,   1.0,  0,      2500ms, 1000},
    PositionCase{"Stopped",           true,  PlayState::Stopped, 0,      1.0,  0,      2500ms, 0},
    PositionCase{"StopsAtLength",     true,  PlayState::Playing, 9000,   1.0,  10000,  5000ms, 10000},
    PositionCase{"NoLengthNoStop",    true,  PlayState::Playing, 9000,   1.0,  0,      5000ms, 14000},
    PositionCase{"NoEntryNoPosition", false, PlayState::Playing, 0,      1.0,  0,      2500ms, 0},
    PositionCase{"BackwardsRate",     true,  PlayState::Playing, 1000,   -1.0, 0,      5000ms, 0}),
    CaseName());
// clang-format on

TEST(SnapshotSource, AnswersForTheCurrentEntryOnly) {
    Clock::time_point now{};
    TestSource source(&now);
    TrackSnapshot snapshot;
    snapshot.Connected = true;
    snapshot.State = PlayState::Paused;
    snapshot.HasEntry = true;
    snapshot.ListPosition = 4;
    snapshot.Title = "Can - Vitamin C";
    snapshot.FileName = "/music/can.mp3";
    snapshot.LengthMs = 215'900;
    source.Publish(snapshot);
    EXPECT_EQ(source.changes, 1);

    EXPECT_EQ(source.PlayStateNumber(PlayState::Stopped), 3);
    EXPECT_EQ(source.LengthSeconds(), 215);
    EXPECT_EQ(source.ListPosition(), 4);
    EXPECT_EQ(source.EntryTitle(4), "Can - Vitamin C");
    EXPECT_EQ(source.EntryFileName(4), "/music/can.mp3");
    EXPECT_EQ(source.EntryTitle(3), "");
    EXPECT_EQ(source.PlayerTag(), nullptr);

    // The entry changes between the engine's question for the place and the one for the title:
    // the place it was told still gets the current entry.
    snapshot.ListPosition = 5;
    snapshot.Title = "Can - Mother Sky";
    snapshot.FileName = "http://radio.example/sky";
    snapshot.Tag = TID3Info{.Title = "Mother Sky", .Artist = "Can"};
    source.Publish(snapshot);
    EXPECT_EQ(source.EntryTitle(4), "Can - Mother Sky");
    EXPECT_EQ(source.EntryTitle(5), "Can - Mother Sky");
    EXPECT_EQ(source.EntryTitle(6), "");
    ASSERT_NE(source.PlayerTag(), nullptr);
    EXPECT_EQ(source.PlayerTag()->Title, "Mother Sky");
    // A name no path can have is cut where a path ends, not inside a character; no length < 0.
    snapshot.FileName = std::string(4095, 'x') + "\xC3\xA4\xC3\xA4";
    snapshot.LengthMs = -4'294'967'196'000;
    source.Publish(snapshot);
    EXPECT_EQ(source.EntryFileName(5), std::string(4095, 'x'));
    EXPECT_EQ(source.LengthSeconds(), 0);

    source.Publish(TrackSnapshot{});
    EXPECT_EQ(source.PlayStateNumber(PlayState::Playing), 0);
    EXPECT_EQ(source.EntryTitle(0), "");
    EXPECT_EQ(source.PlayerTag(), nullptr);
    EXPECT_EQ(source.changes, 4);
}

} // namespace
} // namespace lum::lumd
