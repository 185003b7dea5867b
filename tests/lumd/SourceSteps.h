#pragma once
// The checks every player source must pass alike, whatever its player: the player's own
// commands followed at once, the source's transport commands reaching the player, and the
// position running on between the player's reports.

#include "SourceWatch.h"
#include "apps/lumd/SnapshotSource.h"
#include "display/NowPlaying.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lum::lumd::testing {

/// One thing done to a player or its source, and what the source must show after it.
struct SourceStep {
    std::string Name;
    std::function<void()> Do;
    std::function<bool(const TrackSnapshot&)> Expected;
};

/// The player's own commands, each given to `command` as a word (mpc and playerctl take the
/// same words): next, pause, play, next again, stop, on the standard tracks from the first.
[[nodiscard]] std::vector<SourceStep>
PlayerCommandSteps(const std::function<void(const std::string&)>& command);

/// The source's transport commands on the standard tracks from the first: next, previous,
/// pause, pause again (playing on), stop.
[[nodiscard]] std::vector<SourceStep> TransportSteps(PlayerTransport& source);

/// Does each step and expects `watch` to record a snapshot that shows its result (waiting up to
/// kSourcePatience), and when `promptly` is given, that soon after the step returned.
void ExpectStepsFollowed(SourceWatch& watch, const std::vector<SourceStep>& steps,
                         std::optional<std::chrono::milliseconds> promptly = std::nullopt);

/// With the player playing and settled: expects `source`'s position to run on with the clock
/// for two seconds while the source hears nothing from the player.
void ExpectPositionRunsOnQuietly(SourceWatch& watch, SnapshotSource& source);

} // namespace lum::lumd::testing
