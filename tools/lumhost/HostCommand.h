#pragma once
// Commands the stand-in host reads from standard input, one a line:
//   play | pause | stop | next | prev | seek <ms> | select <n> | config | sleep <ms> | quit

#include <cstdint>
#include <optional>
#include <string_view>

namespace lum::host {

/// What a command line asks for.
enum class HostCommandKind { Play, Pause, Stop, Next, Previous, Seek, Select, Config, Sleep, Quit };

/// One parsed command; Argument is used by seek, select and sleep.
struct HostCommand {
    HostCommandKind Kind;
    std::int32_t Argument = 0;
};

/// The command of one line (surrounding blanks and a trailing CR ignored), or nothing when the
/// line is not a command or its argument is missing, negative or not a number.
[[nodiscard]] std::optional<HostCommand> ParseHostCommand(std::string_view line);

} // namespace lum::host
