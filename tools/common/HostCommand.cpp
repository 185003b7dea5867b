#include "tools/common/HostCommand.h"

#include "common/Decimal.h"
#include "tools/common/EscapedText.h"

#include <iterator>
#include <optional>

namespace lum::host {
namespace {

/// What follows a command's word.
enum class Shape {
    Nothing,
    Number,        ///< a number >= 0
    Name,          ///< a control's name
    NameAndWord,   ///< a name and one more word
    NameAndSwitch, ///< a name and "on" or "off"
    NameAndNumber, ///< a name and a number >= 0
    NameAndText,   ///< a name and the rest of the line, escaped
};

struct CommandWord {
    std::string_view Word;
    HostCommandKind Kind;
    Shape Arguments;
};

// clang-format off
constexpr CommandWord kCommandWords[] = {
    // Word      Kind                          Arguments
    {"play",     HostCommandKind::Play,        Shape::Nothing},
    {"pause",    HostCommandKind::Pause,       Shape::Nothing},
    {"stop",     HostCommandKind::Stop,        Shape::Nothing},
    {"next",     HostCommandKind::Next,        Shape::Nothing},
    {"prev",     HostCommandKind::Previous,    Shape::Nothing},
    {"seek",     HostCommandKind::Seek,        Shape::Number},
    {"select",   HostCommandKind::Select,      Shape::Number},
    {"select",   HostCommandKind::SelectItem,  Shape::NameAndNumber},
    {"config",   HostCommandKind::Config,      Shape::Nothing},
    {"sleep",    HostCommandKind::Sleep,       Shape::Number},
    {"quit",     HostCommandKind::Quit,        Shape::Nothing},
    {"windows",  HostCommandKind::Windows,     Shape::Nothing},
    {"click",    HostCommandKind::Click,       Shape::Name},
    {"key",      HostCommandKind::Key,         Shape::NameAndWord},
    {"settext",  HostCommandKind::SetText,     Shape::NameAndText},
    {"check",    HostCommandKind::Check,       Shape::NameAndSwitch},
    {"page",     HostCommandKind::Page,        Shape::NameAndNumber},
    {"echo",     HostCommandKind::Echo,        Shape::Name},
    {"resources", HostCommandKind::Resources,   Shape::Nothing},
};
// clang-format on

constexpr std::string_view kBlanks = " \t\r";

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

/// The first word of `text` and what follows it, trimmed.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view text) {
    const auto blank = text.find_first_of(" \t");
    if (blank == std::string_view::npos) {
        return {text, {}};
    }
    return {text.substr(0, blank), Trim(text.substr(blank))};
}

std::optional<std::int32_t> Count(std::string_view text) {
    const auto value = ParseDecimal(text);
    return value && *value >= 0 ? value : std::nullopt;
}

std::optional<HostCommand> Parse(const CommandWord& entry, std::string_view rest) {
    HostCommand command{entry.Kind};
    if (entry.Arguments == Shape::Nothing) {
        return rest.empty() ? std::optional(command) : std::nullopt;
    }
    if (entry.Arguments == Shape::Number) {
        const auto value = Count(rest);
        command.Argument = value.value_or(0);
        return value ? std::optional(command) : std::nullopt;
    }
    const auto [name, more] = SplitWord(rest);
    if (name.empty()) {
        return std::nullopt;
    }
    command.Target = name;
    switch (entry.Arguments) {
    case Shape::Name:
        return more.empty() ? std::optional(command) : std::nullopt;
    case Shape::NameAndWord:
        command.Text = more;
        return !more.empty() && SplitWord(more).second.empty() ? std::optional(command)
                                                               : std::nullopt;
    case Shape::NameAndSwitch:
        command.Argument = more == "on" ? 1 : 0;
        return more == "on" || more == "off" ? std::optional(command) : std::nullopt;
    case Shape::NameAndNumber: {
        const auto value = Count(more);
        command.Argument = value.value_or(0);
        return value ? std::optional(command) : std::nullopt;
    }
    case Shape::NameAndText: {
        const auto text = tools::UnescapeText(more);
        command.Text = text.value_or("");
        return text ? std::optional(command) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

std::variant<HostCommand, HostCommandProblem> ParseHostCommand(std::string_view line) {
    const auto [word, rest] = SplitWord(Trim(line));
    auto problem = HostCommandProblem::UnknownCommand;
    for (const CommandWord& entry : kCommandWords) {
        if (entry.Word != word) {
            continue;
        }
        // "select" takes a playlist entry, or a control's name and an entry of it.
        if (auto command = Parse(entry, rest)) {
            return *command;
        }
        problem = HostCommandProblem::BadArgument;
    }
    return problem;
}

} // namespace lum::host
