#pragma once
// What the display engine asks about the player, and the commands a player takes. Every
// question is asked afresh at the moment of use; nothing is cached. The plug-in's host link
// answers with messages to the host player's window; the native runner's simulated playlist, MPD
// and MPRIS players answer from their own state.

#include "display/ExtractID3.h"

#include <cstdint>
#include <string>

namespace lum {

/// The play states a player reports, numbered as the host player numbers them.
enum class PlayState : std::int32_t { Stopped = 0, Playing = 1, Paused = 3 };

/// The questions the placeholders and the main window's mirror ask about the player.
class NowPlaying {
public:
    virtual ~NowPlaying() = default;

    /// The play state's number: 0 stopped, 1 playing, 3 paused; any other value is none of
    /// them. `compared` is the state the caller compares the answer with; the host link passes
    /// it on as the question's data, as the host player expects.
    [[nodiscard]] virtual std::int32_t PlayStateNumber(PlayState compared) = 0;
    /// The playing position in milliseconds.
    [[nodiscard]] virtual std::int32_t PositionMs() = 0;
    /// The current entry's length in seconds; below 1 when unknown.
    [[nodiscard]] virtual std::int32_t LengthSeconds() = 0;
    /// The current entry's place in the playlist, counted from 0.
    [[nodiscard]] virtual std::int32_t ListPosition() = 0;
    /// The file name of the entry at `position`; empty when there is none.
    [[nodiscard]] virtual std::string EntryFileName(std::int32_t position) = 0;
    /// The title of the entry at `position`; empty when there is none.
    [[nodiscard]] virtual std::string EntryTitle(std::int32_t position) = 0;
    /// The tag the player itself knows for the current entry; null when it has none. The ID3
    /// placeholders show it when the entry has no local file with an ID3v1 tag (a stream, a file
    /// on a remote server, a FLAC file).
    [[nodiscard]] virtual const TID3Info* PlayerTag() { return nullptr; }
};

/// The transport commands a player takes.
enum class TransportCommand { Previous, Play, Pause, Stop, Next };

/// Where the main window's player buttons and the tools' transport commands go.
class PlayerTransport {
public:
    virtual ~PlayerTransport() = default;

    /// Asks the player to carry out `command`; what it does is the player's business.
    virtual void Send(TransportCommand command) = 0;
};

} // namespace lum
