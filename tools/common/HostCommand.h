#pragma once
// Commands the stand-in host reads from standard input, one a line:
//   play | pause | stop | next | prev | seek <ms> | select <n> | config | sleep <ms> | quit
// and, to drive the plug-in's windows as a user would:
//   windows | click NAME | key NAME KEY | settext NAME TEXT | check NAME on|off |
//   select NAME INDEX | page NAME INDEX
// and "echo WORD", which the host writes back as an event (a mark for scripts), and "resources",
// which the host answers with its count of open handles (for long-run checks).
// NAME is a control's name ("Panel9"), or form and control ("MainForm.Panel9") where the name
// alone is not unique; a form's name alone names the form. TEXT is the rest of the line, in the
// escaped form of the host's events (\xHH for any byte).

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace lum::host {

/// What a command line asks for.
enum class HostCommandKind {
    Play,
    Pause,
    Stop,
    Next,
    Previous,
    Seek,
    Select,
    Config,
    Sleep,
    Quit,
    Windows,
    Click,
    Key,
    SetText,
    Check,
    SelectItem,
    Page,
    Echo,
    Resources
};

/// One parsed command: Argument is the number of seek, select, sleep, check (1 on, 0 off) and
/// the control commands' index; Target the control's name (or echo's word); Text the key or the
/// text to type.
struct HostCommand {
    HostCommandKind Kind;
    std::int32_t Argument = 0;
    std::string Target{};
    std::string Text{};
};

/// Why a line is not a command.
enum class HostCommandProblem {
    UnknownCommand, ///< the first word is no command (or the line is blank)
    BadArgument,    ///< a command whose arguments are missing, extra, negative or malformed
};

/// The command of one line (surrounding blanks and a trailing CR ignored), or why it is none.
[[nodiscard]] std::variant<HostCommand, HostCommandProblem> ParseHostCommand(std::string_view line);

} // namespace lum::host
