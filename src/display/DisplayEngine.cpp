#include "display/DisplayEngine.h"

#include "display/ProtocolOutput.h"

#include <algorithm>
#include <utility>

namespace lum {

DisplayEngine::DisplayEngine(const Settings& settings, NowPlaying& player, FrameOutput& output,
                             LocalClock clock)
    : settings_(settings), output_(output), expander_(settings, player, std::move(clock)) {}

DisplayEngine::DisplayEngine(const Settings& settings, NowPlaying& player, DisplayPort& port,
                             LocalClock clock)
    : DisplayEngine(settings, player,
                    std::make_unique<ProtocolOutput>(port, MakeSettingsProtocol(settings)),
                    std::move(clock)) {}

DisplayEngine::DisplayEngine(const Settings& settings, NowPlaying& player,
                             std::unique_ptr<FrameOutput> output, LocalClock clock)
    : settings_(settings), ownOutput_(std::move(output)), output_(*ownOutput_),
      expander_(settings, player, std::move(clock)) {}

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
    if (changedOnly_) {
        BuildFrame(!std::exchange(holdScroll_, false));
        return;
    }
    UpdateScrollOffsets();
    WriteDisplayFrame();
}

} // namespace lum
