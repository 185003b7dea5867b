#include "tools/common/Playlist.h"

#include "common/Decimal.h"
#include "tools/common/TextLines.h"

#include <algorithm>

namespace lum::host {
namespace {

constexpr std::string_view kExtInf = "#EXTINF:";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsAbsolute(std::string_view path, PathStyle style) {
    const bool driveLetter = style == PathStyle::Windows && path.size() >= 2 && path[1] == ':';
    return driveLetter || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

char Separator(PathStyle style) {
    return style == PathStyle::Windows ? '\\' : '/';
}

std::string FileNameOf(std::string_view path) {
    const auto separator = path.find_last_of("\\/");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string LineError(int line, std::string_view what) {
    return "line " + std::to_string(line) + ": " + std::string(what);
}

// The length of the root at the start of `path` (separators already the style's), its separator
// included: X:\ or X: or \\server\share\ or \ alone on Windows, / on POSIX; 0 for a relative path.
std::size_t RootLength(std::string_view path, PathStyle style) {
    if (style == PathStyle::Posix) {
        return path.starts_with('/') ? 1 : 0;
    }
    if (path.starts_with("\\\\")) {
        const auto server = path.find('\\', 2);
        const auto share = server == std::string_view::npos ? server : path.find('\\', server + 1);
        return share == std::string_view::npos ? path.size() : share + 1;
    }
    if (path.size() >= 2 && path[1] == ':') {
        return path.size() > 2 && path[2] == '\\' ? 3 : 2;
    }
    return path.starts_with('\\') ? 1 : 0;
}

} // namespace

std::string NormalisePath(std::string_view path, PathStyle style) {
    const char separator = Separator(style);
    std::string text(path);
    std::replace(text.begin(), text.end(), separator == '/' ? '\\' : '/', separator);
    const std::size_t rootLength = RootLength(text, style);
    std::vector<std::string_view> parts;
    std::string_view rest = std::string_view(text).substr(rootLength);
    while (!rest.empty()) {
        const auto end = std::min(rest.find(separator), rest.size());
        const std::string_view part = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == ".." && !parts.empty() && parts.back() != "..") {
            parts.pop_back();
        } else if (part != ".." || rootLength == 0) {
            parts.push_back(part);
        }
    }
    std::string normal = text.substr(0, rootLength);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            normal += separator;
        }
        normal += parts[i];
    }
    return normal;
}

std::vector<PlaylistEntry> ParsePlaylist(std::string_view text, const std::string& folder,
                                         PathStyle style) {
    if (text.size() > kMaxPlaylistBytes) {
        throw PlaylistError{kPlaylistTooLong};
    }
    if (const auto nul = text.find('\0'); nul != std::string_view::npos) {
        const auto line =
            std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(nul), '\n') + 1;
        throw PlaylistError{LineError(static_cast<int>(line), "a NUL byte: not a text file")};
    }
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
        pending.Path = NormalisePath(
            IsAbsolute(line, style) ? std::string(line) : folder + std::string(line), style);
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
