#include "host/HostPlayer.h"

#include "host/PluginRecord.h"
#include "platform/HostLink.h"

#include <utility>

namespace lum {
namespace {

std::uintptr_t DataParameter(std::int32_t data) {
    return static_cast<std::uintptr_t>(static_cast<std::intptr_t>(data));
}

constexpr bool CommandIdsInEnumOrder() {
    for (std::size_t i = 0; i < std::size(kHostCommandIds); ++i) {
        if (static_cast<std::size_t>(kHostCommandIds[i].Command) != i) {
            return false;
        }
    }
    return true;
}
static_assert(CommandIdsInEnumOrder(), "each command stands at the index of its name");

} // namespace

HostPlayer::HostPlayer()
    : messenger_([](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
          return platform::SendWindowMessage(ThePluginRecord().parentWindow, message, wParam,
                                             lParam);
      }) {}

HostPlayer::HostPlayer(HostMessenger messenger) : messenger_(std::move(messenger)) {}

std::int32_t HostPlayer::QueryHost(std::int32_t id, std::int32_t data) {
    return static_cast<std::int32_t>(messenger_(kWmUser, DataParameter(data), id));
}

std::string HostPlayer::QueryHostString(std::int32_t id, std::int32_t data) {
    const auto* text = reinterpret_cast<const char*>(messenger_(kWmUser, DataParameter(data), id));
    return text == nullptr ? std::string() : std::string(text);
}

void HostPlayer::SendHostCommand(std::uint16_t id) {
    messenger_(kWmCommand, id, 0);
}

std::int32_t HostPlayer::PlayStateNumber(PlayState compared) {
    return QueryHost(HOST_PLAY_STATE, static_cast<std::int32_t>(compared));
}

std::int32_t HostPlayer::PositionMs() {
    return QueryHost(HOST_OUTPUT_TIME, 0);
}

std::int32_t HostPlayer::LengthSeconds() {
    return QueryHost(HOST_OUTPUT_TIME, 1);
}

std::int32_t HostPlayer::ListPosition() {
    return QueryHost(HOST_LIST_POS, 0);
}

std::string HostPlayer::EntryFileName(std::int32_t position) {
    return QueryHostString(HOST_PLAYLIST_FILE, position);
}

std::string HostPlayer::EntryTitle(std::int32_t position) {
    return QueryHostString(HOST_PLAYLIST_TITLE, position);
}

void HostPlayer::Send(TransportCommand command) {
    SendHostCommand(kHostCommandIds[static_cast<std::size_t>(command)].Id);
}

} // namespace lum
