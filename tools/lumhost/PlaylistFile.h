#pragma once
// Reading the stand-in host's playlist file: the whole file (up to one byte past the largest
// playlist the host takes), parsed with the playlist's own folder; what went wrong is said on
// standard error, naming the file. Reading is the platform's (PlaylistRead*.cpp): natively
// only a plain file is read, never a FIFO or a device, which could block the host for good.

#include "tools/common/Playlist.h"

#include <optional>
#include <string>
#include <vector>

namespace lum::host {

/// The entries of the playlist at `path` (a full path), paths written in `style`; nothing when
/// the file cannot be read or is no playlist, after a "lumhost: ..." line on standard error.
[[nodiscard]] std::optional<std::vector<PlaylistEntry>> LoadPlaylistFile(const std::string& path,
                                                                         PathStyle style);

/// The bytes of the playlist file at `path`, no more than kMaxPlaylistBytes + 1 of them (a
/// longer file is too long); nothing when it cannot be read, after a "lumhost: ..." line on
/// standard error. One implementation per platform.
[[nodiscard]] std::optional<std::string> ReadPlaylistText(const std::string& path);

} // namespace lum::host
