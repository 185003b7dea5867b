#include "tools/lumhost/posix/RunnerOptions.h"

#include "tools/common/CommandLine.h"

#include <vector>

namespace lum::host {

RunnerOptions ParseRunnerOptions(std::span<const std::string> arguments) {
    RunnerOptions options;
    std::vector<std::string> playlist;
    tools::CommandLine line;
    line.Value("--port", tools::Text(options.Port));
    line.Value("--folder", tools::Text(options.Folder));
    line.Words(playlist, {"PLAYLIST.m3u"}, 1);
    options.Help = !line.Parse(arguments);
    options.Version = line.VersionAsked();
    if (options.Help) {
        return options;
    }
    options.Playlist = playlist.front();
    if (options.Folder.empty()) {
        options.Folder = ".";
    }
    if (!options.Folder.ends_with('/')) {
        options.Folder += '/';
    }
    return options;
}

} // namespace lum::host
