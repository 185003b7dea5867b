#include "tools/lumhost/posix/RunnerOptions.h"

#include "tools/lumhost/HostOptions.h"

#include <span>

namespace lum::host {

std::variant<RunnerOptions, std::string> ParseRunnerOptions(int argc, const char* const* argv) {
    constexpr OptionRule kRules[] = {{"--port", true}, {"--folder", true}};
    const auto args = argc > 1 ? std::span(argv + 1, static_cast<std::size_t>(argc - 1))
                               : std::span<const char* const>();
    const auto parsed = ParseHostOptions(args, kRules);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        return *problem;
    }
    const HostOptions& given = std::get<HostOptions>(parsed);
    RunnerOptions options;
    options.Help = given.Help;
    options.Playlist = given.Playlist;
    const auto port = given.Given.find("--port");
    options.Port = port == given.Given.end() ? std::string() : port->second;
    const auto folder = given.Given.find("--folder");
    options.Folder = folder == given.Given.end() ? std::string(".") : folder->second;
    if (!options.Folder.ends_with('/')) {
        options.Folder += '/';
    }
    return options;
}

} // namespace lum::host
