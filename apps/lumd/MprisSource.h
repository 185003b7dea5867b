#pragma once
// An MPRIS player on the D-Bus session bus as lumd's player, through sd-bus. A worker thread
// owns the bus connection and sleeps in poll() on it: it follows the first player
// (org.mpris.MediaPlayer2.*, by name order) or the first whose bus name contains the chosen text,
// learns the player's changes from its PropertiesChanged (PlaybackStatus, Metadata, Rate) and
// Seeked signals, and reads Position only when the state or the track changes; the position runs
// on locally in between. NameOwnerChanged tells when the player leaves (the snapshot then reads
// "stopped, not connected") and when a matching player appears. A lost session bus is opened again
// once per retry interval.
//
// The playlist position comes from the TrackList interface when the player has one, else it is 0.
// A file:// URL of an existing file gives the display the local path; otherwise it gets the
// player's tags. Numbers are taken only in their range: a length that is negative or no number is
// unknown, such a position is 0, and a rate that is negative or not finite is ignored.

#include "apps/lumd/Log.h"
#include "apps/lumd/SnapshotSource.h"
#include "apps/lumd/SourceStart.h"
#include "apps/lumd/TrackTags.h"
#include "apps/lumd/WorkerInbox.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct sd_bus;
struct sd_bus_message;

namespace lum::lumd {

/// Which player to follow and whom to tell about changes.
struct MprisSourceOptions {
    std::string NameFilter{}; ///< a part of the player's bus name; empty: the first player
    std::chrono::milliseconds RetryInterval{1000};
    std::chrono::milliseconds CallTimeout{2000}; ///< for each question to the bus or the player
    MonotonicClock Clock = SteadyNow;
    ChangeCallback OnChange{};
};

/// Now-playing answers and transport commands for an MPRIS player.
class MprisSource final : public SnapshotSource, public PlayerTransport {
public:
    MprisSource(MprisSourceOptions options, Log& log);
    /// Stops the worker and closes the bus connection.
    ~MprisSource() override;
    MprisSource(const MprisSource&) = delete;
    MprisSource& operator=(const MprisSource&) = delete;

    /// Opens the session bus (DBUS_SESSION_BUS_ADDRESS, else the user's bus), looks for a player
    /// and starts the worker; call once. Ready: a player is followed. Waiting: no player yet, the
    /// worker follows the first one that appears. Refused: no session bus; no worker runs.
    [[nodiscard]] StartResult Start();

    /// Calls Previous, Play, PlayPause (pause toggles), Stop or Next on the player; without a
    /// player the command is dropped with a warning.
    void Send(TransportCommand command) override;

    /// The bus name of the player followed; empty when none.
    [[nodiscard]] std::string PlayerName() const;

private:
    struct BusCloser {
        void operator()(sd_bus* bus) const;
    };
    using Bus = std::unique_ptr<sd_bus, BusCloser>;

    /// What the worker knows of the followed player.
    struct PlayerFacts {
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

    /// The sd-bus handlers of the signals and replies, each calling the member below.
    struct Handlers;
    friend struct Handlers;

    [[nodiscard]] std::string OpenBus();
    void Run();
    [[nodiscard]] bool Pump();
    [[nodiscard]] bool DoPendingWork();
    void WaitToRetry();
    void SelectPlayer();
    void Follow(const std::string& name, const std::string& owner);
    void Forget();
    void ReadAll();
    void ReadPosition();
    void ReadTrackList();
    void CallPlayer(TransportCommand command);
    void OnNameOwnerChanged(sd_bus_message* message);
    void OnPropertiesChanged(sd_bus_message* message);
    void OnSeeked(sd_bus_message* message);
    void OnCommandReply(sd_bus_message* message);
    int ApplyProperties(sd_bus_message* message);
    [[nodiscard]] bool FromPlayer(sd_bus_message* message) const;
    [[nodiscard]] bool Matches(const std::string& name) const;
    [[nodiscard]] std::string NoPlayerMessage() const;
    [[nodiscard]] TrackSnapshot Snapshot() const;

    MprisSourceOptions options_;
    Log& log_;
    WorkerInbox inbox_;
    Bus bus_;
    std::string owner_; ///< the followed player's unique bus name
    PlayerFacts facts_;
    bool selectPending_ = false;
    bool readAllPending_ = false;
    bool positionPending_ = false;
    bool trackListPending_ = false;
    bool changed_ = false;
    bool noPlayerReported_ = false;
    mutable std::mutex nameMutex_;
    std::string name_; ///< the followed player's bus name; guarded by nameMutex_
    std::thread worker_;
};

} // namespace lum::lumd
