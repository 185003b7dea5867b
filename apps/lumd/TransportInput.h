#pragma once
// lumd's commands on standard input, one a line, in the stand-in host's words so that the same
// scripts drive both: play, pause (toggles), stop, next, prev, quit, and sleep <ms> (waited out
// before the next line is read); and brightness <1-4>, the main window's "Hell 1" to "Hell 4".
// Other host commands and unknown lines are logged and skipped; the end of input ends only the
// reading (a service's standard input is empty).

#include "apps/lumd/Log.h"
#include "display/NowPlaying.h"

#include <functional>
#include <istream>
#include <variant>

namespace lum::lumd {

/// The quit command.
struct QuitCommand {};

/// A brightness step, 1 (brightest) to 4.
struct BrightnessCommand {
    int Step = 1;
};

/// What one line asks lumd for.
using InputCommand = std::variant<TransportCommand, QuitCommand, BrightnessCommand>;

/// Reads `input` to its end (or a quit), handing each command to `run` on the reading thread.
void ReadTransportInput(std::istream& input, Log& log,
                        const std::function<void(const InputCommand&)>& run);

} // namespace lum::lumd
