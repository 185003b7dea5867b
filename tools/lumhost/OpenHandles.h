#pragma once
// The stand-in host's own count of open handles, for the long-run checks that watch it grow.

#include <cstddef>

namespace lum::host {

/// How many handles (Windows) or file descriptors (POSIX) this process holds open.
[[nodiscard]] std::size_t CountOpenHandles();

} // namespace lum::host
