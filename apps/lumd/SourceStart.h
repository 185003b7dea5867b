#pragma once
// How a player source's start went, for the caller to report and to decide whether to go on; a
// source connects on its own thread and tells the outcome when it is known.

#include <functional>
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

/// Hears how a source's start went, once, on the source's worker thread (or the caller's, for a
/// source without one).
using StartCallback = std::function<void(StartResult)>;

} // namespace lum::lumd
