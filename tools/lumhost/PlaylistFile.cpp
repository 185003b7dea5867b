#include "tools/lumhost/PlaylistFile.h"

#include <algorithm>
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
    // Read in blocks up to one byte more than a playlist may hold, so that the parser sees a
    // longer file as too long while a short one costs only its own size.
    constexpr std::size_t kBlockBytes = 64 * 1024;
    std::string text;
    while (file && text.size() <= kMaxPlaylistBytes) {
        const std::size_t had = text.size();
        text.resize(had + std::min(kBlockBytes, kMaxPlaylistBytes + 1 - had));
        file.read(text.data() + had, static_cast<std::streamsize>(text.size() - had));
        text.resize(had + static_cast<std::size_t>(file.gcount()));
    }
    if (file.bad()) {
        std::cerr << "lumhost: cannot read playlist " << path << '\n';
        return std::nullopt;
    }
    try {
        return ParsePlaylist(text, FolderOf(path), style);
    } catch (const PlaylistError& error) {
        std::cerr << "lumhost: bad playlist " << path << ": " << error.Message << '\n';
        return std::nullopt;
    }
}

} // namespace lum::host
