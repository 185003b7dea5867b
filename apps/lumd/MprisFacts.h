#pragma once
// What lumd knows of the MPRIS player it follows (its PlaybackStatus, Metadata, Rate, Position
// and place in its TrackList), and the snapshot the display gets from it.

#include "apps/lumd/SnapshotSource.h"
#include "apps/lumd/TrackTags.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace lum::lumd {

/// The followed player's facts, as its properties last told them.
struct MprisFacts {
    std::string Status{}; ///< PlaybackStatus: "Playing", "Paused", "Stopped"
    TrackTags Tags{};
    std::string Url{};
    std::string TrackId{};
    std::int64_t LengthUs = 0;
    double Rate = 1.0;
    std::int64_t PositionUs = 0;
    std::chrono::steady_clock::time_point PositionAt{};
    bool HasTrackList = false;
    std::int32_t ListPosition = 0;
};

/// The snapshot of a followed player with `facts`: an entry when it has a URL or a title, the
/// local path of a file:// URL of an existing regular file, the tags as the player's tag.
[[nodiscard]] TrackSnapshot SnapshotOf(const MprisFacts& facts);

} // namespace lum::lumd
