#pragma once
// Reading the last bytes of a file, opened for reading with other readers allowed and no writer
// at the same time (the way the tag reader must open the playing file).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace lum::platform {

/// Fills `buffer` with the last buffer.size() bytes of the file at `path` and answers how many
/// bytes were read: fewer when reading fails part-way, none when the file is shorter than the
/// buffer. Nothing when the file cannot be opened (missing, a folder, held open for writing by
/// another program where the system enforces that).
[[nodiscard]] std::optional<std::size_t> ReadFileTail(const std::string& path,
                                                      std::span<std::uint8_t> buffer);

} // namespace lum::platform
