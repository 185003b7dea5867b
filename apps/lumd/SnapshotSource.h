#pragma once
// The answers a player source gives the display engine, from one snapshot of the player that the
// source's own thread replaces whenever the player reports a change. Between changes the playing
// position runs on locally from the moment of the last report, so nobody asks the player again.

#include "display/NowPlaying.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace lum::lumd {

/// A monotonic clock: steady_clock's now, or a test's.
using MonotonicClock = std::function<std::chrono::steady_clock::time_point()>;

/// std::chrono::steady_clock::now().
[[nodiscard]] std::chrono::steady_clock::time_point SteadyNow();

/// Called after every change of the snapshot: on the source's thread, and from Start.
using ChangeCallback = std::function<void()>;

/// What a source knows about its player at one moment.
struct TrackSnapshot {
    bool Connected = false; ///< whether the player answers at all
    PlayState State = PlayState::Stopped;
    std::int32_t ListPosition = 0;
    bool HasEntry = false;         ///< whether there is a current entry
    std::string Title{};           ///< Windows-1252: "Artist - Title", the title, or the file name
    std::string FileName{};        ///< the local file's path; empty when the entry is no local file
    std::optional<TID3Info> Tag{}; ///< the player's tags, shown when the file has none of its own
    std::int64_t ElapsedMs = 0;    ///< the position at `At`
    std::chrono::steady_clock::time_point At{};
    double Rate = 1.0;         ///< how fast the position runs while playing
    std::int64_t LengthMs = 0; ///< 0 when unknown

    friend bool operator==(const TrackSnapshot&, const TrackSnapshot&) = default;
};

/// The display engine's questions answered from the latest snapshot. Asked from one thread (the
/// display's); the snapshot is replaced from the source's thread.
class SnapshotSource : public NowPlaying {
public:
    SnapshotSource(MonotonicClock clock, ChangeCallback onChange);

    [[nodiscard]] std::int32_t PlayStateNumber(PlayState compared) override;
    /// The position at the last report plus the time since, scaled by the rate, while playing;
    /// never past the length when that is known; 0 without an entry.
    [[nodiscard]] std::int32_t PositionMs() override;
    /// The length in whole seconds, 0 when unknown.
    [[nodiscard]] std::int32_t LengthSeconds() override;
    [[nodiscard]] std::int32_t ListPosition() override;
    /// The current entry's file when `position` is its place, or the place the last
    /// ListPosition() gave (the entry may change between the two questions); empty otherwise.
    [[nodiscard]] std::string EntryFileName(std::int32_t position) override;
    /// The current entry's title, for the same places as EntryFileName.
    [[nodiscard]] std::string EntryTitle(std::int32_t position) override;
    /// The player's tags for the current entry; valid until the next call.
    [[nodiscard]] const TID3Info* PlayerTag() override;

    /// A copy of the latest snapshot.
    [[nodiscard]] TrackSnapshot Current() const;

protected:
    /// Replaces the snapshot (its file name cut to the longest a path can be), then calls the
    /// change callback.
    void Publish(TrackSnapshot snapshot);
    /// The injected clock's time.
    [[nodiscard]] std::chrono::steady_clock::time_point Now() const { return clock_(); }

private:
    [[nodiscard]] bool IsCurrentPlace(std::int32_t position) const;

    MonotonicClock clock_;
    ChangeCallback onChange_;
    mutable std::mutex mutex_;
    TrackSnapshot snapshot_;
    std::int32_t answeredPosition_ = -1;
    TID3Info tagAnswer_;
};

} // namespace lum::lumd
