#include "tools/lumhost/PlaylistFile.h"

#include <algorithm>
#include <fstream>
#include <iostream>

namespace lum::host {

std::optional<std::string> ReadPlaylistText(const std::string& path) {
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
    return text;
}

} // namespace lum::host
