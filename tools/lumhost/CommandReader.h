#pragma once
// The stand-in host's command loop on standard input: one command a line, parsed, refused ones
// named on standard error, "sleep" waited out on the reading thread, every other command handed
// to the host; it ends after quit, and end of input counts as quit. A line longer than any
// command is refused without being held whole.

#include "tools/common/HostCommand.h"

#include <functional>
#include <istream>
#include <string>

namespace lum::host {

/// Runs one command on the host's thread and answers why a player command was refused (empty
/// when it ran).
using CommandRunner = std::function<std::string(const HostCommand&)>;

/// Reads commands from `input` until quit or end of input, handing each to `run`.
void ReadCommands(std::istream& input, const CommandRunner& run);

} // namespace lum::host
