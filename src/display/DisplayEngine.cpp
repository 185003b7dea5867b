#include "display/DisplayEngine.h"

#include <algorithm>

namespace lum {

DisplayEngine::DisplayEngine(Settings& settings, NowPlaying& player, DisplayPort& port,
                             LocalClock clock)
    : settings_(settings), port_(port), expander_(settings, player, std::move(clock)) {}

const LineSlot* DisplayEngine::ActiveSlot(int line) const {
    const int set = settings_.ActiveSet;
    return set >= 1 && set <= kTextSetCount ? &settings_.Slot(set, line) : nullptr;
}

std::size_t DisplayEngine::Width() const {
    return static_cast<std::size_t>(std::max(settings_.LineWidth, 0));
}

void DisplayEngine::RefreshTick() {
    UpdateScrollOffsets();
    WriteDisplayFrame();
}

} // namespace lum
