#include "tools/lumhost/PlaylistFile.h"

#include <iostream>

namespace lum::host {
namespace {

std::string FolderOf(const std::string& path) {
    const auto separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

} // namespace

std::optional<std::vector<PlaylistEntry>> LoadPlaylistFile(const std::string& path,
                                                           PathStyle style) {
    const auto text = ReadPlaylistText(path);
    if (!text) {
        return std::nullopt;
    }
    try {
        return ParsePlaylist(*text, FolderOf(path), style);
    } catch (const PlaylistError& error) {
        std::cerr << "lumhost: bad playlist " << path << ": " << error.Message << '\n';
        return std::nullopt;
    }
}

} // namespace lum::host
