#include "tools/lumhost/HostOptions.h"

#include "tools/lumhost/InputEcho.h"

#include <algorithm>

namespace lum::host {

std::variant<HostOptions, std::string> ParseHostOptions(std::span<const char* const> args,
                                                        std::span<const OptionRule> rules) {
    HostOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            return HostOptions{.Help = true};
        }
        if (!arg.starts_with("--")) {
            if (arg.empty()) {
                return std::string("empty playlist name");
            }
            if (!options.Playlist.empty()) {
                return "more than one playlist: " + EchoInput(arg);
            }
            options.Playlist = arg;
            continue;
        }
        const auto rule = std::find_if(rules.begin(), rules.end(),
                                       [arg](const OptionRule& r) { return r.Name == arg; });
        if (rule == rules.end()) {
            return "unknown option " + EchoInput(arg);
        }
        if (options.Given.contains(arg)) {
            return "option " + std::string(arg) + " given twice";
        }
        std::string value;
        if (rule->TakesValue) {
            if (i + 1 == args.size() || *args[i + 1] == '\0') {
                return "option " + std::string(arg) + " needs a value";
            }
            value = args[++i];
        }
        options.Given.emplace(arg, std::move(value));
    }
    if (options.Playlist.empty()) {
        return std::string("no playlist given");
    }
    return options;
}

} // namespace lum::host
