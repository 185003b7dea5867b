#pragma once
// The messages the plug-in sends to the host player's window: WM_USER queries with an id in
// lParam and the query's data in wParam, and WM_COMMAND transport commands.

#include "display/NowPlaying.h"

#include <cstdint>
#include <functional>
#include <iterator>

namespace lum {

/// Window message numbers used with the host.
inline constexpr std::uint32_t kWmCommand = 0x0111;
inline constexpr std::uint32_t kWmUser = 0x0400;

/// Query ids, sent as lParam of WM_USER.
/// Play state (wParam 0, 1 or 3): 0 stopped, 1 playing, 3 paused.
inline constexpr std::int32_t HOST_PLAY_STATE = 104;
/// wParam 0: playing position in ms; wParam 1: track length in s (below 1: no length).
inline constexpr std::int32_t HOST_OUTPUT_TIME = 105;
/// Playlist position of the current entry, from 0.
inline constexpr std::int32_t HOST_LIST_POS = 125;
/// wParam = playlist position: file name of that entry.
inline constexpr std::int32_t HOST_PLAYLIST_FILE = 211;
/// wParam = playlist position: title of that entry.
inline constexpr std::int32_t HOST_PLAYLIST_TITLE = 212;

/// Transport command ids, sent as wParam of WM_COMMAND.
inline constexpr std::uint16_t HOST_CMD_PREVIOUS = 40044;
inline constexpr std::uint16_t HOST_CMD_PLAY = 40045;
inline constexpr std::uint16_t HOST_CMD_PAUSE = 40046;
inline constexpr std::uint16_t HOST_CMD_STOP = 40047;
inline constexpr std::uint16_t HOST_CMD_NEXT = 40048;

/// A transport command and the id the host knows it by.
struct HostCommandId {
    TransportCommand Command;
    std::uint16_t Id;
};

/// The transport commands, in the order of TransportCommand.
inline constexpr HostCommandId kHostCommandIds[] = {
    // Command                     Id
    {TransportCommand::Previous, HOST_CMD_PREVIOUS}, {TransportCommand::Play, HOST_CMD_PLAY},
    {TransportCommand::Pause, HOST_CMD_PAUSE},       {TransportCommand::Stop, HOST_CMD_STOP},
    {TransportCommand::Next, HOST_CMD_NEXT},
};
static_assert(std::size(kHostCommandIds) == 5);

/// Sends one message to the host player's window and answers what the window answers.
using HostMessenger = std::function<std::intptr_t(std::uint32_t message, std::uintptr_t wParam,
                                                  std::intptr_t lParam)>;

} // namespace lum
