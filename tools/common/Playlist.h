#pragma once
// Extended M3U playlists for the stand-in host:
//
//   #EXTM3U
//   #EXTINF:215,Artist - Title      length in seconds (-1: unknown), then the title
//   music\track01.mp3               path, relative to the playlist's folder unless absolute
//   other.mp3                       no #EXTINF: the file name is the title, the length unknown
//
// Other lines starting with '#' and empty lines are skipped. Paths are normalised the way the
// host reports them: the host's separator ('\' on Windows, '/' natively) between the parts, no
// "." or ".." parts, no doubled separators; either separator in the list is read as one.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lum::host {

/// One playlist entry.
struct PlaylistEntry {
    std::string Path; ///< as the host reports it: resolved against the playlist folder
    std::string Title;
    std::int32_t LengthSeconds = -1; ///< -1 when unknown
};

/// How the host writes paths: Windows paths with '\' and drive or server roots, or POSIX paths
/// with '/' and the one root "/".
enum class PathStyle { Windows, Posix };

/// `path` with the style's separator between its parts and without empty, "." and ".." parts;
/// ".." takes the part before it away but never climbs above the root ("X:\", "\\server\share\"
/// or "\" for Windows, "/" for POSIX).
[[nodiscard]] std::string NormalisePath(std::string_view path,
                                        PathStyle style = PathStyle::Windows);

/// A playlist that cannot be used; the message names the line.
struct PlaylistError {
    std::string Message;
};

/// The longest playlist the host takes: far beyond any real list, it keeps a wrong file (a disk
/// image, a device) from filling the memory.
inline constexpr std::size_t kMaxPlaylistBytes = 16u * 1024 * 1024;
/// What is said of a longer text.
inline constexpr const char* kPlaylistTooLong = "larger than 16 MiB: no playlist";

/// The entries of a playlist's text. `folder` is the playlist's folder with its trailing
/// separator. Throws PlaylistError for a text longer than kMaxPlaylistBytes or holding a NUL
/// byte (no text file does), a malformed #EXTINF line, or a list without entries.
[[nodiscard]] std::vector<PlaylistEntry> ParsePlaylist(std::string_view text,
                                                       const std::string& folder,
                                                       PathStyle style = PathStyle::Windows);

} // namespace lum::host
