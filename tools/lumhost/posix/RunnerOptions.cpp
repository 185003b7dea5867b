#include "tools/lumhost/posix/RunnerOptions.h"

#include <string_view>

namespace lum::host {

std::optional<RunnerOptions> ParseRunnerOptions(int argc, const char* const* argv) {
    RunnerOptions options;
    bool portGiven = false;
    bool folderGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool takesValue = arg == "--port" || arg == "--folder";
        if (takesValue && i + 1 < argc && argv[i + 1][0] != '\0') {
            bool& given = arg == "--port" ? portGiven : folderGiven;
            if (given) {
                return std::nullopt;
            }
            given = true;
            (arg == "--port" ? options.Port : options.Folder) = argv[++i];
        } else if (options.Playlist.empty() && !arg.empty() && !arg.starts_with("--")) {
            options.Playlist = arg;
        } else {
            return std::nullopt;
        }
    }
    if (options.Playlist.empty()) {
        return std::nullopt;
    }
    if (options.Folder.empty()) {
        options.Folder = ".";
    }
    if (!options.Folder.ends_with('/')) {
        options.Folder += '/';
    }
    return options;
}

} // namespace lum::host
