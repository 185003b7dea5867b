#pragma once
// Where a player's entry lives: a local path, a file:// URL (percent-encoded), or something
// remote (http://..., a path on another machine's music folder), and whether a local path lies
// within a folder.

#include <optional>
#include <string>
#include <string_view>

namespace lum::lumd {

/// `text` with each "%XX" replaced by the byte XX; none when a '%' starts no such escape.
[[nodiscard]] std::optional<std::string> PercentDecode(std::string_view text);

/// The local path of a file:// URL (host empty or "localhost"); none for any other address or a
/// malformed escape.
[[nodiscard]] std::optional<std::string> LocalPathOfFileUrl(std::string_view url);

/// The last part of `uri` after its last '/' (percent-decoded when `uri` is a URL); the whole
/// `uri` when that part is empty.
[[nodiscard]] std::string FileNameOfUri(std::string_view uri);

/// `path` (absolute, or relative to `folder`) lexically normalised, when it lies below the absolute
/// `folder` without leaving it through ".."; none otherwise. Symbolic links are not looked at:
/// a link below the folder counts as below it, wherever it points.
[[nodiscard]] std::optional<std::string> PathBelow(std::string_view folder, std::string_view path);

/// Whether `path` names a regular file (symbolic links followed).
[[nodiscard]] bool IsRegularFile(const std::string& path);

} // namespace lum::lumd
