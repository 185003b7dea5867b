#include "SourceSteps.h"

#include "TestMusic.h"

#include <gtest/gtest.h>
#include <thread>

namespace lum::lumd::testing {

std::vector<SourceStep> PlayerCommandSteps(const std::function<void(const std::string&)>& command) {
    const auto say = [command](std::string word) { return [command, word] { command(word); }; };
    return {
        {"next", say("next"), TitleIs(DisplayTitle(StandardTracks()[1]))},
        {"pause", say("pause"), StateIs(PlayState::Paused)},
        {"play", say("play"), StateIs(PlayState::Playing)},
        {"next again", say("next"), TitleIs(DisplayTitle(StandardTracks()[2]))},
        {"stop", say("stop"), StateIs(PlayState::Stopped)},
    };
}

std::vector<SourceStep> TransportSteps(PlayerTransport& source) {
    const auto send = [&source](TransportCommand command) {
        return [&source, command] { source.Send(command); };
    };
    return {
        {"next", send(TransportCommand::Next), TitleIs(DisplayTitle(StandardTracks()[1]))},
        {"previous", send(TransportCommand::Previous), TitleIs(DisplayTitle(StandardTracks()[0]))},
        {"pause", send(TransportCommand::Pause), StateIs(PlayState::Paused)},
        {"pause again", send(TransportCommand::Pause), StateIs(PlayState::Playing)},
        {"stop", send(TransportCommand::Stop), StateIs(PlayState::Stopped)},
    };
}

void ExpectStepsFollowed(SourceWatch& watch, const std::vector<SourceStep>& steps,
                         std::optional<std::chrono::milliseconds> promptly) {
    for (const SourceStep& step : steps) {
        const std::size_t mark = watch.Mark();
        step.Do();
        const auto returned = Clock::now();
        const auto seen = watch.WaitFrom(mark, step.Expected, kSourcePatience);
        ASSERT_TRUE(seen.has_value()) << step.Name;
        if (promptly) {
            EXPECT_LE(*seen - returned, *promptly) << step.Name;
        }
    }
}

void ExpectPositionRunsOnQuietly(SourceWatch& watch, SnapshotSource& source) {
    const std::size_t mark = watch.Mark();
    const auto start = Clock::now();
    const std::int32_t first = source.PositionMs();
    for (int second = 1; second <= 2; ++second) {
        std::this_thread::sleep_until(start + std::chrono::seconds(second));
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        EXPECT_NEAR(source.PositionMs() - first, elapsed, 150) << "after " << second << " s";
    }
    EXPECT_EQ(watch.Mark(), mark) << "the source heard from the player while nothing changed";
}

} // namespace lum::lumd::testing
