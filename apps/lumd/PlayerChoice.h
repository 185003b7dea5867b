#pragma once
// The player of one lumd run, made from the command line: an MPD server, an MPRIS player or a
// playlist's simulated player, each answering the display's questions and taking the transport
// commands.

#include "apps/lumd/Log.h"
#include "apps/lumd/Options.h"
#include "apps/lumd/SnapshotSource.h"
#include "apps/lumd/SourceStart.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace lum::lumd {

/// The chosen player; it ends (its thread stopped) when dropped.
struct ChosenPlayer {
    std::shared_ptr<void> Owner{}; ///< the source itself
    NowPlaying* Now = nullptr;
    PlayerTransport* Transport = nullptr;
    /// Connects to the player and tells how that went; call once.
    std::function<void(StartCallback)> Start{};
    std::string Description{}; ///< for the log: "MPD at localhost:6600"
};

/// The player `options` name; `onChange` runs after each of its changes (on its thread),
/// `clock` gives the playlist's milliseconds. None after a message on the log when the
/// playlist cannot be read.
[[nodiscard]] std::optional<ChosenPlayer> ChoosePlayer(const LumdOptions& options, Log& log,
                                                       ChangeCallback onChange,
                                                       std::function<std::uint64_t()> clock);

} // namespace lum::lumd
