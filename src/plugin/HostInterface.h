#pragma once
// Messages to the host player's window, whose handle is read from the plug-in record's
// parentWindow at every call. Nothing is cached; no answer is tested for failure: while there is
// no host window, integer queries answer 0, text queries the empty text, commands do nothing.

#include <cstdint>
#include <string>

namespace lum {

/// Window message numbers used with the host.
inline constexpr std::uint32_t kWmCommand = 0x0111;
inline constexpr std::uint32_t kWmUser = 0x0400;

/// The play states the host answers to HOST_PLAY_STATE.
enum class HostPlayState : std::int32_t { Stopped = 0, Playing = 1, Paused = 3 };

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

/// Asks the host for a 32-bit integer: WM_USER with wParam = data, lParam = id.
[[nodiscard]] std::int32_t QueryHost(std::int32_t id, std::int32_t data);

/// Asks the host for a text: the answer is the address of a zero-terminated text owned by the
/// host, copied at once; a null address gives the empty text.
[[nodiscard]] std::string QueryHostString(std::int32_t id, std::int32_t data);

/// Sends a command to the host: WM_COMMAND with wParam = id, lParam = 0; the answer is ignored.
void SendHostCommand(std::uint16_t id);

} // namespace lum
