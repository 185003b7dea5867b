#include "display/DisplayEngine.h"

#include <algorithm>

namespace lum {

DisplayEngine::DisplayEngine(const Settings& settings, NowPlaying& player, DisplayPort& port,
                             LocalClock clock)
    : settings_(settings), port_(port), expander_(settings, player, std::move(clock)) {}

const LineSlot* DisplayEngine::ActiveSlot(int line) const {
    const int set = shown_.ActiveSet;
    return set >= 1 && set <= kTextSetCount ? &settings_.Slot(set, line) : nullptr;
}

std::int32_t DisplayEngine::ActiveOffset(int line) const {
    const int set = shown_.ActiveSet;
    return set >= 1 && set <= kTextSetCount ? shown_.ScrollOffset(set, line) : 0;
}

std::size_t DisplayEngine::Width() const {
    return static_cast<std::size_t>(std::max(settings_.LineWidth, 0));
}

void DisplayEngine::RefreshTick() {
    UpdateScrollOffsets();
    WriteDisplayFrame();
}

} // namespace lum
