// The scroll update of the refresh tick: each line of the active set moves one step.
#include "display/DisplayEngine.h"
#include "display/ScrollWindow.h"

#include <cstdint>
#include <utility>

namespace lum {

void DisplayEngine::UpdateScrollOffsets() {
    const int set = shown_.ActiveSet;
    if (std::exchange(holdScroll_, false) || set < 1 || set > kTextSetCount) {
        return;
    }
    const std::size_t width = Width();
    const std::size_t separatorLength = Separator().size();
    for (int line = 1; line <= kLinesPerSet; ++line) {
        StepScrollOffset(line, ExpandPlaceholders(settings_.Slot(set, line).Template).size(),
                         separatorLength, width);
    }
}

void DisplayEngine::StepScrollOffset(int line, std::size_t expandedLength,
                                     std::size_t separatorLength, std::size_t width) {
    const int set = shown_.ActiveSet;
    const LineSlot& slot = settings_.Slot(set, line);
    std::int32_t& scrollOffset = shown_.ScrollOffset(set, line);
    const std::int64_t length = ScrollTextLength(expandedLength, separatorLength, width);
    if (length <= static_cast<std::int64_t>(width)) {
        scrollOffset = 0;
        return;
    }
    std::int64_t offset = scrollOffset;
    switch (slot.ScrollMode) {
    case kScrollLeft:
        ++offset;
        break;
    case kScrollRight:
        --offset;
        break;
    default:
        offset = 0;
        break;
    }
    if (offset >= length) {
        offset = 0;
    }
    if (offset < 0) {
        offset = length - 1;
    }
    scrollOffset = static_cast<std::int32_t>(offset);
}

void DisplayEngine::SetBannerPeriod(bool running) {
    if (changedOnly_ && bannerPeriod_ && !running) {
        ScrollFromStart();
    }
    bannerPeriod_ = running;
}

void DisplayEngine::ScrollFromStart() {
    for (auto& set : shown_.Offsets) {
        set.fill(0);
    }
    holdScroll_ = true;
}

} // namespace lum
