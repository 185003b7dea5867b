#include "tools/common/PlayerHost.h"

#include <iterator>

namespace lum::host {

PlayerHost::PlayerHost(SimulatedPlayer player, std::function<std::uint64_t()> clock)
    : player_(std::move(player)), clock_(std::move(clock)) {}

std::optional<std::string> PlayerHost::Run(const HostCommand& command) {
    const std::uint64_t now = Now();
    const std::int64_t lengthMs = std::int64_t{player_.LengthSeconds()} * 1000;
    switch (command.Kind) {
    case HostCommandKind::Play:
        player_.Play(now);
        break;
    case HostCommandKind::Pause:
        player_.PauseToggle(now);
        break;
    case HostCommandKind::Stop:
        player_.Stop(now);
        break;
    case HostCommandKind::Next:
        player_.Next(now);
        break;
    case HostCommandKind::Previous:
        player_.Previous(now);
        break;
    case HostCommandKind::Seek:
        if (lengthMs > 0 && command.Argument > lengthMs) {
            return "the entry is " + std::to_string(lengthMs) + " ms long";
        }
        player_.Seek(now, command.Argument);
        break;
    case HostCommandKind::Select:
        if (command.Argument >= player_.EntryCount()) {
            return "the playlist has entries 0 to " + std::to_string(player_.EntryCount() - 1);
        }
        player_.Select(now, command.Argument);
        break;
    default: // the host's own business: config, sleep, quit, driving the windows
        break;
    }
    return std::nullopt;
}

std::int32_t PlayerHost::CurrentState() {
    return static_cast<std::int32_t>(player_.State(Now()));
}

std::int32_t PlayerHost::CurrentPositionMs() {
    return player_.PositionMs(Now());
}

std::int32_t PlayerHost::CurrentLengthSeconds() {
    return player_.LengthSeconds();
}

std::int32_t PlayerHost::CurrentListPosition() {
    player_.Advance(Now());
    return player_.ListPosition();
}

const std::string* PlayerHost::EntryFileName(std::int32_t position) {
    const PlaylistEntry* entry = player_.Entry(position);
    return entry != nullptr ? &entry->Path : nullptr;
}

const std::string* PlayerHost::EntryTitle(std::int32_t position) {
    const PlaylistEntry* entry = player_.Entry(position);
    return entry != nullptr ? &entry->Title : nullptr;
}

void PlayerHost::Command(std::uint16_t id) {
    // The transport commands in id order, from 40044 (previous) to 40048 (next).
    constexpr HostCommandKind kTransport[] = {HostCommandKind::Previous, HostCommandKind::Play,
                                              HostCommandKind::Pause, HostCommandKind::Stop,
                                              HostCommandKind::Next};
    static_assert(std::size(kTransport) == HOST_CMD_NEXT - HOST_CMD_PREVIOUS + 1);
    if (id < HOST_CMD_PREVIOUS || id > HOST_CMD_NEXT) {
        return;
    }
    if (OnTransportCommand) {
        OnTransportCommand(id);
    }
    (void)Run(HostCommand{kTransport[id - HOST_CMD_PREVIOUS]}); // no argument: never refused
}

} // namespace lum::host
