#pragma once
// The stand-in host's command loop on standard input: one command a line, parsed, refused ones
// named on standard error, "sleep" waited out on the reading thread, every other command handed
// to the host; it ends after quit, and end of input counts as quit. A line longer than any
// command is refused without being held whole.

#include "tools/lumhost/HostCommand.h"

#include <cstddef>
#include <functional>
#include <istream>
#include <optional>
#include <string>

namespace lum::host {

/// The longest command line taken, far beyond any command (settext's escaped text included).
inline constexpr std::size_t kMaxCommandBytes = 64 * 1024;

/// One line of input without its LF: its first kMaxCommandBytes bytes and its whole length.
struct InputLine {
    std::string Start;
    std::size_t Bytes = 0;
    /// Longer than any command: only its start is kept.
    [[nodiscard]] bool TooLong() const { return Bytes > kMaxCommandBytes; }
};

/// The next line of `input`; none at its end. Bytes past the limit are counted, not kept, so a
/// line of any length takes bounded memory.
[[nodiscard]] std::optional<InputLine> ReadInputLine(std::istream& input);

/// Runs one command on the host's thread and answers why a player command was refused (empty
/// when it ran).
using CommandRunner = std::function<std::string(const HostCommand&)>;

/// Reads commands from `input` until quit or end of input, handing each to `run`.
void ReadCommands(std::istream& input, const CommandRunner& run);

} // namespace lum::host
