#include "tools/lumhost/OpenHandles.h"

#include <filesystem>
#include <iterator>

namespace lum::host {

std::size_t CountOpenHandles() {
    std::error_code error;
    const std::filesystem::directory_iterator descriptors("/proc/self/fd", error);
    // The iterator's own descriptor is among those listed.
    return error ? 0 : static_cast<std::size_t>(std::distance(descriptors, {})) - 1;
}

} // namespace lum::host
