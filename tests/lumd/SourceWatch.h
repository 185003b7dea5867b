#pragma once
// What a player test sees of a source: every snapshot the source published, with the time its
// change callback ran, and every message it logged.

#include "apps/lumd/Log.h"
#include "apps/lumd/SnapshotSource.h"
#include "apps/lumd/SourceStart.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace lum::lumd::testing {

using Clock = std::chrono::steady_clock;

/// How soon a player's change must reach the source after the command that caused it returned:
/// well inside one refresh interval (300 ms) and far below a poll's period. It includes the
/// player's own work (mpv opens the next file before it signals), which under a loaded test run
/// took up to 110 ms.
inline constexpr std::chrono::milliseconds kSourcePromptly{250};
/// Long enough for anything that has no deadline of its own: a wait that should not end.
inline constexpr std::chrono::milliseconds kSourcePatience{5'000};

/// Starts `source` and waits for its word on how the start went.
template <typename Source> StartResult StartAndWait(Source& source) {
    std::promise<StartResult> told;
    source.Start([&told](StartResult result) { told.set_value(std::move(result)); });
    return told.get_future().get();
}

/// Records the snapshots a source publishes through its change callback.
class SourceWatch {
public:
    /// The callback to give the source; it reads the source set by Watch.
    [[nodiscard]] ChangeCallback Callback();
    /// The source to read on each change (changes before this call are not recorded).
    void Watch(const SnapshotSource& source);

    /// How many changes were recorded so far: a mark for WaitFrom.
    [[nodiscard]] std::size_t Mark() const;
    /// The time of the first change recorded after `mark` whose snapshot satisfies `wanted`,
    /// waiting up to `timeout` for it; none when it did not come.
    [[nodiscard]] std::optional<Clock::time_point>
    WaitFrom(std::size_t mark, const std::function<bool(const TrackSnapshot&)>& wanted,
             std::chrono::milliseconds timeout);

    /// Waits until no change has come for `quiet`, at most `timeout`; true when it got quiet.
    bool WaitQuiet(std::chrono::milliseconds quiet, std::chrono::milliseconds timeout);

private:
    struct Change {
        Clock::time_point At;
        TrackSnapshot Snapshot;
    };

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    const SnapshotSource* source_ = nullptr;
    std::vector<Change> changes_;
};

/// A log whose messages the test reads.
class LogCapture {
public:
    LogCapture();

    [[nodiscard]] Log& Sink() { return log_; }
    /// The messages of `level` so far that contain `part`.
    [[nodiscard]] std::vector<std::string> Lines(LogLevel level,
                                                 const std::string& part = {}) const;
    /// The times of those messages.
    [[nodiscard]] std::vector<Clock::time_point> Times(LogLevel level,
                                                       const std::string& part) const;

private:
    struct Line {
        LogLevel Level;
        std::string Text;
        Clock::time_point At;
    };

    mutable std::mutex mutex_;
    std::vector<Line> lines_;
    Log log_;
};

/// Snapshot conditions the tests wait for.
[[nodiscard]] std::function<bool(const TrackSnapshot&)> TitleIs(const std::string& title);
[[nodiscard]] std::function<bool(const TrackSnapshot&)> StateIs(PlayState state);

} // namespace lum::lumd::testing
