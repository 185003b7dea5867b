#pragma once
// The simulated player of the stand-in host as lumd's player: the entries of an extended M3U
// playlist played in real time on the loop's clock, answered through the host link's HostPlayer
// from the host's own answer table, exactly as the native lumhost answers the plug-in. Everything
// runs on the user-interface thread.

#include "apps/lumd/SnapshotSource.h"
#include "apps/lumd/SourceStart.h"
#include "host/HostPlayer.h"
#include "tools/common/PlayerHost.h"

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace lum::lumd {

/// The entries of the playlist file at `path` (paths with '/', relative ones from the file's
/// folder), or why it cannot be used.
[[nodiscard]] std::variant<std::vector<host::PlaylistEntry>, std::string>
ReadPlaylist(const std::string& path);

/// A playlist's simulated player, asked and commanded as a host player.
class PlaylistPlayer final : public NowPlaying, public PlayerTransport {
public:
    /// `clock`: milliseconds of a monotonic clock; `onChange` runs after every command.
    PlaylistPlayer(std::vector<host::PlaylistEntry> entries, std::function<std::uint64_t()> clock,
                   ChangeCallback onChange);

    [[nodiscard]] std::int32_t PlayStateNumber(PlayState compared) override {
        return player_.PlayStateNumber(compared);
    }
    [[nodiscard]] std::int32_t PositionMs() override { return player_.PositionMs(); }
    [[nodiscard]] std::int32_t LengthSeconds() override { return player_.LengthSeconds(); }
    [[nodiscard]] std::int32_t ListPosition() override { return player_.ListPosition(); }
    [[nodiscard]] std::string EntryFileName(std::int32_t position) override {
        return player_.EntryFileName(position);
    }
    [[nodiscard]] std::string EntryTitle(std::int32_t position) override {
        return player_.EntryTitle(position);
    }

    /// Starts playing the first entry and tells `started` at once: the playlist is always there.
    void Start(const StartCallback& started);
    /// Carries `command` to the player as the plug-in's buttons do, then tells of the change.
    void Send(TransportCommand command) override;

private:
    host::PlayerHost host_;
    HostPlayer player_;
    ChangeCallback onChange_;
};

} // namespace lum::lumd
