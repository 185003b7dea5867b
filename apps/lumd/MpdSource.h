#pragma once
// MPD as lumd's player, through libmpdclient. A worker thread holds one connection: it reads the
// status and the current song, publishes them as a snapshot, and then waits in MPD's "idle"
// command until the server reports a change of the player, the queue or the database; MPD is
// never polled. Transport commands go over the same connection: the worker is woken, ends the idle
// with "noidle", runs them, and idles again, so commands and status never race on two connections.
// A stop request shuts the connection's socket down, so quitting never waits for the server.
//
// A lost connection reads as "stopped, not connected" at once, and every new connection comes one
// retry interval after the last one ended (Reconnection). An outage lasts until a snapshot is
// published again: a connection that breaks before that belongs to it, so each outage is said
// once, and its end once.
// A song whose tags make a line too long for libmpdclient (a title of thousands of characters) is
// no outage: a new connection reads it with MPD's tag types cleared, and its title falls back to
// the file name. Entry files are local only when they are regular files lexically below the music
// folder (given, or from the server's "config" answer, which MPD gives on a local socket only);
// the player's tags come with every entry, for a file without a tag of its own.

#include "apps/lumd/Log.h"
#include "apps/lumd/MpdAddress.h"
#include "apps/lumd/MpdDial.h"
#include "apps/lumd/Reconnection.h"
#include "apps/lumd/SnapshotSource.h"
#include "apps/lumd/SourceStart.h"
#include "apps/lumd/TrackTags.h"
#include "apps/lumd/WorkerInbox.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace lum::lumd {

/// How to reach MPD and whom to tell about changes.
struct MpdSourceOptions {
    MpdAddress Address{};
    std::string MusicDirectory{}; ///< MPD's music folder on this machine; empty: ask the server
    std::chrono::milliseconds RetryInterval{1000};
    std::chrono::milliseconds Timeout{5000}; ///< for connecting and for each answer
    MonotonicClock Clock = SteadyNow;
    ChangeCallback OnChange{};
};

/// Now-playing answers and transport commands for an MPD server.
class MpdSource final : public SnapshotSource, public PlayerTransport {
public:
    MpdSource(MpdSourceOptions options, Log& log);
    /// Stops the worker and closes the connection.
    ~MpdSource() override;
    MpdSource(const MpdSource&) = delete;
    MpdSource& operator=(const MpdSource&) = delete;

    /// Starts the worker, which connects (waiting at most the time-out) and tells `started`;
    /// call once. Ready: connected. Waiting: the server cannot be reached now, the worker keeps
    /// trying. Refused: the server turned lumd away (wrong or missing password); the worker ends.
    void Start(StartCallback started);

    /// Queues `command` for the server: prev, play, pause (toggles), stop, next. While the server
    /// is away the command is dropped with a warning.
    void Send(TransportCommand command) override;

private:
    struct Attempt {
        MpdConnection Link;
        StartOutcome Outcome = StartOutcome::Ready;
        std::string Message{};
    };

    [[nodiscard]] Attempt Connect();
    [[nodiscard]] std::string QueryMusicDirectory(mpd_connection& connection);
    /// The worker: the first connection, then following the server.
    void Work(const StartCallback& started);
    void Run(MpdConnection connection);
    [[nodiscard]] bool Refresh(mpd_connection& connection);
    [[nodiscard]] bool IdleOnce(mpd_connection& connection);
    [[nodiscard]] bool RunCommands(mpd_connection& connection);
    [[nodiscard]] std::string LocalPath(const std::string& uri) const;

    MpdSourceOptions options_;
    Log& log_;
    WorkerInbox inbox_;
    Reconnection reconnection_;
    std::string musicDirectory_; ///< the worker's, once started
    int tooLongSongId_ = -1;     ///< the song whose tags did not fit in a line: read without them
    bool tagsCleared_ = false;   ///< whether the connection in use has its tag types cleared
    bool rereadSong_ = false;    ///< the connection broke on a song's tags, not for an outage
    std::thread worker_;
};

} // namespace lum::lumd
