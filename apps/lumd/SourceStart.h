#pragma once
// How a player source's start went, for the caller to report and to decide whether to go on.

#include <string>

namespace lum::lumd {

/// The start's outcome.
enum class StartOutcome {
    Ready,   ///< connected to the player
    Waiting, ///< nothing to connect to yet (server unreachable, no player): the source keeps trying
    Refused, ///< the player refuses lumd (wrong password, no session bus): the source gave up
};

/// The outcome with a message for the user; the message is empty when all went well.
struct StartResult {
    StartOutcome Outcome = StartOutcome::Ready;
    std::string Message{};
};

} // namespace lum::lumd
