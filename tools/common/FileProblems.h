#pragma once
// Why a file operation of the plug-in failed, in words: the plug-in's own messages say only that
// a file could not be opened, read or written, and a user at the command line wants the cause.

#include "common/LumError.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lum::tools {

/// The cause of `error`, raised while loading the settings file at `path`.
[[nodiscard]] std::string LoadFailureCause(const std::string& path, const LumError& error);

/// The cause of `error`, raised while saving the settings file at `path`.
[[nodiscard]] std::string SaveFailureCause(const std::string& path, const LumError& error);

/// The cause of a file at `path` that cannot be opened for reading.
[[nodiscard]] std::string ReadFailureCause(const std::string& path);

/// The bytes of the plain file at `path`, opened for reading only; nothing when it is not a plain
/// file, cannot be read, or is longer than `maxBytes`.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> ReadPlainFile(const std::string& path,
                                                                     std::size_t maxBytes);

} // namespace lum::tools
