#pragma once
// An MPRIS player on the D-Bus session bus as lumd's player, through sd-bus. A worker thread
// owns the bus connection and sleeps in poll() on it (this file: the pump). It follows the player
// MprisPlayerWatch picks, learns the player's changes from its PropertiesChanged (PlaybackStatus,
// Metadata, Rate) and Seeked signals (read by MprisMessages into MprisFacts), and reads Position
// only when the state or the track changes; the position runs on locally in between. When the
// player leaves, the snapshot reads "stopped, not connected". A lost session bus is opened again
// once per retry interval (Reconnection).
//
// The playlist position comes from the TrackList interface when the player has one, else it is 0.
// A file:// URL of an existing file gives the display the local path; otherwise it gets the
// player's tags.

#include "apps/lumd/Log.h"
#include "apps/lumd/MprisFacts.h"
#include "apps/lumd/MprisPlayerWatch.h"
#include "apps/lumd/Reconnection.h"
#include "apps/lumd/SnapshotSource.h"
#include "apps/lumd/SourceStart.h"
#include "apps/lumd/WorkerInbox.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>

struct sd_bus;
struct sd_bus_message;

namespace lum::lumd {

struct PropertiesRead;

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

    /// Starts the worker, which opens the session bus (DBUS_SESSION_BUS_ADDRESS, else the user's
    /// bus), looks for a player and tells `started`; call once. Ready: a player is followed.
    /// Waiting: no player yet, the worker follows the first one that appears. Refused: no
    /// session bus; the worker ends.
    void Start(StartCallback started);

    /// Calls Previous, Play, PlayPause (pause toggles), Stop or Next on the player; without a
    /// player the command is dropped with a warning.
    void Send(TransportCommand command) override;

    /// The bus name of the player followed; empty when none.
    [[nodiscard]] std::string PlayerName() const { return watch_.Name(); }

private:
    struct BusCloser {
        void operator()(sd_bus* bus) const;
    };
    using Bus = std::unique_ptr<sd_bus, BusCloser>;

    /// The questions to the bus and the player that wait for the worker's next turn.
    struct Questions {
        bool Players = false;   ///< which player to follow
        bool All = false;       ///< all the player's properties
        bool Position = false;  ///< its position
        bool TrackList = false; ///< its entry's place in its track list
    };

    /// The sd-bus handlers of the signals and replies, each calling the member below.
    struct Handlers;
    friend struct Handlers;

    /// The worker: the start, then pumping the bus until a stop is requested.
    void Work(const StartCallback& started);
    [[nodiscard]] std::string OpenBus();
    void Run();
    /// Serves the bus once and sleeps until it or the inbox has something; the reason when the
    /// bus is lost.
    [[nodiscard]] std::string Pump();
    [[nodiscard]] bool AskWhatWaits();
    void SelectPlayer();
    void Forget();
    void ReadAll();
    void ReadPosition();
    void ReadTrackList();
    void Note(const PropertiesRead& read);
    void CallPlayer(TransportCommand command);
    void OnNameOwnerChanged(sd_bus_message* message);
    void OnPropertiesChanged(sd_bus_message* message);
    void OnSeeked(sd_bus_message* message);
    void OnCommandReply(sd_bus_message* message);
    [[nodiscard]] TrackSnapshot Snapshot() const;

    MprisSourceOptions options_;
    Log& log_;
    WorkerInbox inbox_;
    Reconnection reconnection_;
    MprisPlayerWatch watch_;
    Bus bus_;
    MprisFacts facts_;
    Questions asked_;
    bool changed_ = false; ///< the facts changed since the last snapshot published
    std::thread worker_;
};

} // namespace lum::lumd
