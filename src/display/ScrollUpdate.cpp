#include "display/ScrollUpdate.h"

#include "display/DisplayFrame.h"
#include "display/Placeholders.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstdint>

namespace lum {

void UpdateScrollOffsets() {
    Settings& settings = GlobalSettings();
    const int set = settings.ActiveSet;
    if (set < 1 || set > kTextSetCount) {
        return;
    }
    const std::int64_t width = std::max(settings.LineWidth, 0);
    for (int line = 1; line <= kLinesPerSet; ++line) {
        LineSlot& slot = settings.Slot(set, line);
        const auto expandedLength =
            static_cast<std::int64_t>(ExpandPlaceholders(slot.Template).size());
        const std::int64_t length =
            expandedLength > width
                ? expandedLength + static_cast<std::int64_t>(settings.Separator.size())
                : expandedLength;
        if (length <= width) {
            slot.ScrollOffset = 0;
            continue;
        }
        std::int64_t offset = slot.ScrollOffset;
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
        slot.ScrollOffset = static_cast<std::int32_t>(offset);
    }
}

void Timer5Timer() {
    UpdateScrollOffsets();
    WriteDisplayFrame();
}

} // namespace lum
