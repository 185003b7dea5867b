#pragma once
// Reading the stand-in host's playlist file: the whole file (up to one byte past the largest
// playlist the host takes), parsed with the playlist's own folder; what went wrong is said on
// standard error, naming the file.

#include "tools/lumhost/Playlist.h"

#include <optional>
#include <string>
#include <vector>

namespace lum::host {

/// The entries of the playlist at `path` (a full path), paths written in `style`; nothing when
/// the file cannot be read or is no playlist, after a "lumhost: ..." line on standard error.
[[nodiscard]] std::optional<std::vector<PlaylistEntry>> LoadPlaylistFile(const std::string& path,
                                                                         PathStyle style);

} // namespace lum::host
