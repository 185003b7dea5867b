#include "tools/lumhost/Playlist.h"

#include <charconv>

namespace lum::host {
namespace {

constexpr std::string_view kExtInf = "#EXTINF:";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsAbsolute(std::string_view path) {
    const bool driveLetter = path.size() >= 2 && path[1] == ':';
    return driveLetter || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

std::string FileNameOf(std::string_view path) {
    const auto separator = path.find_last_of("\\/");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string LineError(int line, std::string_view what) {
    return "line " + std::to_string(line) + ": " + std::string(what);
}

} // namespace

std::vector<PlaylistEntry> ParsePlaylist(std::string_view text, const std::string& folder) {
    if (text.starts_with(kUtf8Bom)) {
        text.remove_prefix(kUtf8Bom.size());
    }
    std::vector<PlaylistEntry> entries;
    PlaylistEntry pending;
    bool hasInfo = false;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const auto end = text.find('\n');
        auto line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.starts_with(kExtInf)) {
            const auto info = line.substr(kExtInf.size());
            const auto comma = info.find(',');
            const auto seconds = info.substr(0, comma);
            const auto [stop, error] = std::from_chars(
                seconds.data(), seconds.data() + seconds.size(), pending.LengthSeconds);
            if (comma == std::string_view::npos || seconds.empty() || error != std::errc() ||
                stop != seconds.data() + seconds.size()) {
                throw PlaylistError{LineError(lineNumber, "expected #EXTINF:<seconds>,<title>")};
            }
            if (pending.LengthSeconds < 0) {
                pending.LengthSeconds = -1;
            }
            pending.Title = std::string(info.substr(comma + 1));
            hasInfo = true;
            continue;
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        pending.Path = IsAbsolute(line) ? std::string(line) : folder + std::string(line);
        if (!hasInfo) {
            pending.Title = FileNameOf(line);
            pending.LengthSeconds = -1;
        }
        entries.push_back(std::move(pending));
        pending = {};
        hasInfo = false;
    }
    if (entries.empty()) {
        throw PlaylistError{"the playlist has no entries"};
    }
    return entries;
}

} // namespace lum::host
