#pragma once
// The stand-in host's command line, shaped alike on every platform: options that start with
// "--", some taking the next argument as their value, each given at most once, and one
// playlist. "--help" (or "-h") asks for the usage. A problem names the option or argument.

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace lum::host {

/// An option the command line takes.
struct OptionRule {
    std::string_view Name; ///< with its "--"
    bool TakesValue;       ///< the next argument is its value, which must not be empty
};

/// A command line as the rules read it.
struct HostOptions {
    bool Help = false; ///< the usage was asked for; nothing else is filled in
    std::map<std::string, std::string, std::less<>> Given{}; ///< option: value ("" without one)
    std::string Playlist{};
};

/// The options in `args` (without the program's name), or what is wrong with them:
/// "unknown option --x", "option --port needs a value", "option --port given twice",
/// "more than one playlist: B" or "no playlist given".
[[nodiscard]] std::variant<HostOptions, std::string>
ParseHostOptions(std::span<const char* const> args, std::span<const OptionRule> rules);

} // namespace lum::host
