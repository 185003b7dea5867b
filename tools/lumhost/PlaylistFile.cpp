#include "tools/lumhost/PlaylistFile.h"

#include <fstream>
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
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::cerr << "lumhost: cannot open playlist " << path << '\n';
        return std::nullopt;
    }
    // One byte more than a playlist may hold, so that the parser sees a longer file as too long.
    std::string text(kMaxPlaylistBytes + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad()) {
        std::cerr << "lumhost: cannot read playlist " << path << '\n';
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(file.gcount()));
    try {
        return ParsePlaylist(text, FolderOf(path), style);
    } catch (const PlaylistError& error) {
        std::cerr << "lumhost: bad playlist " << path << ": " << error.Message << '\n';
        return std::nullopt;
    }
}

} // namespace lum::host
