#include "ui/main/Mirror.h"

namespace lum {

std::string MirrorTitleStep(std::string_view title, std::string_view separator,
                            MirrorState& state) {
    if (title.size() <= kMirrorWidth) {
        state.MirrorOffset = 0;
        return std::string(title);
    }
    const auto length = static_cast<std::int64_t>(title.size());
    if (length != state.MirrorTitleLength) {
        state.MirrorOffset = 0;
    }
    state.MirrorTitleLength = length;
    std::string doubled(title);
    doubled += separator;
    doubled += title;
    const auto start = static_cast<std::size_t>(state.MirrorOffset);
    std::string shown =
        start < doubled.size() ? doubled.substr(start, kMirrorWidth) : std::string();
    ++state.MirrorOffset;
    if (state.MirrorOffset >= static_cast<std::int64_t>(separator.size()) + length) {
        state.MirrorOffset = 0;
    }
    return shown;
}

} // namespace lum
