#pragma once
// The stand-in host's player: a playlist, a current entry, a play state and a playing position
// that runs in real time while playing. Every call takes the current time in milliseconds of a
// monotonic clock, so the model is deterministic under test.

#include "display/NowPlaying.h"
#include "tools/common/Playlist.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lum::host {

/// The simulated player behind the host window.
class SimulatedPlayer {
public:
    explicit SimulatedPlayer(std::vector<PlaylistEntry> entries);

    /// Brings the position up to `now`; at the end of a track the next entry starts, and after
    /// the last entry the player stops at the start of that entry.
    void Advance(std::uint64_t now);

    [[nodiscard]] PlayState State(std::uint64_t now);
    [[nodiscard]] std::int32_t PositionMs(std::uint64_t now);
    /// Length of the current entry in seconds, -1 when unknown.
    [[nodiscard]] std::int32_t LengthSeconds() const;
    /// Current entry, counted from 0.
    [[nodiscard]] std::int32_t ListPosition() const { return current_; }
    [[nodiscard]] std::int32_t EntryCount() const;
    /// The entry at `position`, or null past the end of the list.
    [[nodiscard]] const PlaylistEntry* Entry(std::int32_t position) const;

    /// Starts playing: from the start when stopped or playing, from the position when paused.
    void Play(std::uint64_t now);
    /// Toggles between playing and paused; does nothing while stopped.
    void PauseToggle(std::uint64_t now);
    /// Stops and returns to the start of the current entry.
    void Stop(std::uint64_t now);
    /// Moves to the next or previous entry (clamped to the list), starting it from 0 in the
    /// current state.
    void Next(std::uint64_t now);
    void Previous(std::uint64_t now);
    /// Moves to entry `position` (clamped to the list), from 0, in the current state.
    void Select(std::uint64_t now, std::int32_t position);
    /// Sets the position within the current entry (clamped to 0 and the entry's length).
    void Seek(std::uint64_t now, std::int32_t positionMs);

private:
    void StartEntry(std::uint64_t now, std::int32_t position);

    std::vector<PlaylistEntry> entries_;
    std::int32_t current_ = 0;
    PlayState state_ = PlayState::Stopped;
    std::int64_t positionMs_ = 0; ///< position at lastUpdate_
    std::uint64_t lastUpdate_ = 0;
};

} // namespace lum::host
