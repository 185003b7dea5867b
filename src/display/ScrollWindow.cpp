#include "display/ScrollWindow.h"

#include <algorithm>

namespace lum {

std::int64_t ScrollTextLength(std::size_t expandedLength, std::size_t separatorLength,
                              std::size_t width) {
    const auto length = static_cast<std::int64_t>(expandedLength);
    return expandedLength > width ? length + static_cast<std::int64_t>(separatorLength) : length;
}

void AppendScrollWindow(std::string& out, std::string_view expanded, std::string_view separator,
                        std::int64_t offset, std::size_t width) {
    const std::size_t lineStart = out.size();
    if (expanded.size() <= width) {
        out += expanded;
    } else {
        const std::size_t length = expanded.size() + separator.size();
        const auto start = static_cast<std::uint64_t>(std::max<std::int64_t>(offset, 0));
        const std::uint64_t twice = 2 * static_cast<std::uint64_t>(length);
        for (std::uint64_t index = start; index < twice && index < start + width; ++index) {
            const auto at = static_cast<std::size_t>(index % length);
            out += at < expanded.size() ? expanded[at] : separator[at - expanded.size()];
        }
    }
    out.append(lineStart + width - out.size(), ' ');
}

std::string ScrollWindow(std::string_view expanded, std::string_view separator, std::int64_t offset,
                         std::size_t width) {
    std::string window;
    window.reserve(width);
    AppendScrollWindow(window, expanded, separator, offset, width);
    return window;
}

} // namespace lum
