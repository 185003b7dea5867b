#include "tools/lumhost/HostCommand.h"

#include "common/Decimal.h"

#include <array>

namespace lum::host {
namespace {

// word       kind                        takes a number
struct CommandWord {
    std::string_view Word;
    HostCommandKind Kind;
    bool HasArgument;
};

constexpr std::array<CommandWord, 10> kCommandWords = {{
    {"play", HostCommandKind::Play, false},
    {"pause", HostCommandKind::Pause, false},
    {"stop", HostCommandKind::Stop, false},
    {"next", HostCommandKind::Next, false},
    {"prev", HostCommandKind::Previous, false},
    {"seek", HostCommandKind::Seek, true},
    {"select", HostCommandKind::Select, true},
    {"config", HostCommandKind::Config, false},
    {"sleep", HostCommandKind::Sleep, true},
    {"quit", HostCommandKind::Quit, false},
}};

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

} // namespace

std::optional<HostCommand> ParseHostCommand(std::string_view line) {
    line = Trim(line);
    const auto blank = line.find_first_of(" \t");
    const auto word = line.substr(0, blank);
    const auto rest =
        blank == std::string_view::npos ? std::string_view{} : Trim(line.substr(blank));
    for (const auto& entry : kCommandWords) {
        if (entry.Word != word) {
            continue;
        }
        if (!entry.HasArgument) {
            return rest.empty() ? std::optional(HostCommand{entry.Kind}) : std::nullopt;
        }
        const auto value = ParseDecimal(rest);
        if (!value || *value < 0) {
            return std::nullopt;
        }
        return HostCommand{entry.Kind, *value};
    }
    return std::nullopt;
}

} // namespace lum::host
