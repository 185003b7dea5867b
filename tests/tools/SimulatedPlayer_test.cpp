#include "tools/common/SimulatedPlayer.h"

#include <gtest/gtest.h>

namespace lum::host {
namespace {

SimulatedPlayer ThreeTracks() {
    return SimulatedPlayer({{"a.mp3", "A", 2}, {"b.mp3", "B", 3}, {"c.mp3", "C", -1}});
}

TEST(SimulatedPlayer, PositionRunsOnlyWhilePlaying) {
    auto player = ThreeTracks();
    EXPECT_EQ(player.State(0), PlayState::Stopped);
    EXPECT_EQ(player.PositionMs(500), 0);
    player.Play(1000);
    EXPECT_EQ(player.PositionMs(1400), 400);
    player.PauseToggle(1500);
    EXPECT_EQ(player.State(1600), PlayState::Paused);
    EXPECT_EQ(player.PositionMs(1900), 500);
    player.Play(2000); // resumes from the paused position
    EXPECT_EQ(player.PositionMs(2100), 600);
    player.Play(2200); // restarts while playing
    EXPECT_EQ(player.PositionMs(2300), 100);
    player.Stop(2400);
    EXPECT_EQ(player.State(2500), PlayState::Stopped);
    EXPECT_EQ(player.PositionMs(2500), 0);
}

TEST(SimulatedPlayer, TracksFollowEachOtherAndTheListEndStops) {
    auto player = ThreeTracks();
    player.Play(0);
    EXPECT_EQ(player.PositionMs(2100), 100);
    EXPECT_EQ(player.ListPosition(), 1);
    // A late look at the clock skips over the whole second track.
    EXPECT_EQ(player.PositionMs(5300), 300);
    EXPECT_EQ(player.ListPosition(), 2);
    EXPECT_EQ(player.LengthSeconds(), -1);
    // The last track has no length and plays on.
    EXPECT_EQ(player.State(100000), PlayState::Playing);

    player.Select(100000, 1);
    EXPECT_EQ(player.PositionMs(102000), 2000);
    EXPECT_EQ(player.PositionMs(103500), 500);
    EXPECT_EQ(player.State(103500), PlayState::Playing);
    EXPECT_EQ(player.ListPosition(), 2);

    SimulatedPlayer last({{"a.mp3", "A", 1}});
    last.Play(0);
    EXPECT_EQ(last.State(1000), PlayState::Stopped);
    EXPECT_EQ(last.PositionMs(1000), 0);
    EXPECT_EQ(last.ListPosition(), 0);
}

TEST(SimulatedPlayer, NavigationIsClampedAndKeepsTheState) {
    auto player = ThreeTracks();
    player.Previous(0);
    EXPECT_EQ(player.ListPosition(), 0);
    player.Select(0, 7);
    EXPECT_EQ(player.ListPosition(), 2);
    player.Select(0, -3);
    EXPECT_EQ(player.ListPosition(), 0);
    player.Next(0);
    EXPECT_EQ(player.ListPosition(), 1);
    EXPECT_EQ(player.State(0), PlayState::Stopped);
    player.PauseToggle(0); // nothing to pause while stopped
    EXPECT_EQ(player.State(0), PlayState::Stopped);
}

TEST(SimulatedPlayer, SeekIsClampedToTheTrack) {
    auto player = ThreeTracks();
    player.Play(0);
    player.Seek(0, 1500);
    EXPECT_EQ(player.PositionMs(100), 1600);
    player.Seek(200, 9999);
    EXPECT_EQ(player.ListPosition(), 0);
    EXPECT_EQ(player.PositionMs(200), 0) << "seeking to the end starts the next track";
    EXPECT_EQ(player.ListPosition(), 1);
    player.Seek(200, -50);
    EXPECT_EQ(player.PositionMs(200), 0);
    player.Next(200);
    player.Seek(300, 123456);
    EXPECT_EQ(player.PositionMs(300), 123456) << "no length, no upper bound";
}

TEST(SimulatedPlayer, EntriesPastTheEndAreNull) {
    const auto player = ThreeTracks();
    ASSERT_NE(player.Entry(2), nullptr);
    EXPECT_EQ(player.Entry(2)->Title, "C");
    EXPECT_EQ(player.Entry(3), nullptr);
    EXPECT_EQ(player.Entry(-1), nullptr);
}

} // namespace
} // namespace lum::host
