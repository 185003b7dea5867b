#pragma once
// The host player as the plug-in reaches it: synchronous messages to its window. Nothing is
// cached and no answer is tested for failure: while there is no host window, integer queries
// answer 0, text queries the empty text, and commands do nothing.

#include "display/NowPlaying.h"
#include "host/HostMessages.h"

#include <cstdint>
#include <string>

namespace lum {

/// Answers the display engine's questions and carries the transport commands with messages to
/// the host player's window.
class HostPlayer final : public NowPlaying, public PlayerTransport {
public:
    /// Sends to the window the plug-in record's parentWindow names, read afresh for every
    /// message.
    HostPlayer();
    /// Sends through `messenger` instead: a host that lives in the same process.
    explicit HostPlayer(HostMessenger messenger);

    /// Asks the host for a 32-bit integer: WM_USER with wParam = data, lParam = id.
    [[nodiscard]] std::int32_t QueryHost(std::int32_t id, std::int32_t data);
    /// Asks the host for a text: the answer is the address of a zero-terminated text owned by
    /// the host, copied at once; a null address gives the empty text.
    [[nodiscard]] std::string QueryHostString(std::int32_t id, std::int32_t data);
    /// Sends a command to the host: WM_COMMAND with wParam = id, lParam = 0; the answer is
    /// ignored.
    void SendHostCommand(std::uint16_t id);

    [[nodiscard]] std::int32_t PlayStateNumber(PlayState compared) override;
    [[nodiscard]] std::int32_t PositionMs() override;
    [[nodiscard]] std::int32_t LengthSeconds() override;
    [[nodiscard]] std::int32_t ListPosition() override;
    [[nodiscard]] std::string EntryFileName(std::int32_t position) override;
    [[nodiscard]] std::string EntryTitle(std::int32_t position) override;
    void Send(TransportCommand command) override;

private:
    HostMessenger messenger_;
};

} // namespace lum
