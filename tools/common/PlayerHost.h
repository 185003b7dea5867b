#pragma once
// The stand-in host's answers to the plug-in: the simulated player behind the host model, on a
// millisecond clock, with the host's commands (from the plug-in or from standard input) acting
// on the player.

#include "tools/common/HostCommand.h"
#include "tools/common/HostModel.h"
#include "tools/common/SimulatedPlayer.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace lum::host {

/// The simulated player as the host model.
class PlayerHost final : public HostModel {
public:
    PlayerHost(SimulatedPlayer player, std::function<std::uint64_t()> clock);

    [[nodiscard]] SimulatedPlayer& Player() { return player_; }
    [[nodiscard]] std::uint64_t Now() const { return clock_(); }
    /// Acts on a player command (play, pause, stop, next, previous, seek, select); other
    /// commands are the host's own business and change nothing here. A select past the list or a
    /// seek past the entry's known length changes nothing and returns why.
    [[nodiscard]] std::optional<std::string> Run(const HostCommand& command);

    /// Runs for each transport command the plug-in sends, before the player acts on it.
    std::function<void(std::uint16_t id)> OnTransportCommand;

protected:
    [[nodiscard]] std::int32_t CurrentState() override;
    [[nodiscard]] std::int32_t CurrentPositionMs() override;
    [[nodiscard]] std::int32_t CurrentLengthSeconds() override;
    [[nodiscard]] std::int32_t CurrentListPosition() override;
    [[nodiscard]] const std::string* EntryFileName(std::int32_t position) override;
    [[nodiscard]] const std::string* EntryTitle(std::int32_t position) override;
    void Command(std::uint16_t id) override;

private:
    SimulatedPlayer player_;
    std::function<std::uint64_t()> clock_;
};

} // namespace lum::host
