#include "tools/lumhost/Playlist.h"

#include "common/Decimal.h"
#include "tools/common/TextLines.h"

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
    for (const auto line : tools::SplitLines(text)) {
        ++lineNumber;
        if (line.starts_with(kExtInf)) {
            const auto info = line.substr(kExtInf.size());
            const auto comma = info.find(',');
            const auto seconds = comma == std::string_view::npos
                                     ? std::optional<std::int32_t>()
                                     : ParseDecimal(info.substr(0, comma));
            if (!seconds) {
                throw PlaylistError{LineError(lineNumber, "expected #EXTINF:<seconds>,<title>")};
            }
            pending.LengthSeconds = *seconds;
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
