// The display frames: the shown lines of the active set, each cut to LineWidth at its scroll
// offset and padded, handed to the output as one frame; the blank frame of the clear; and the
// same lines for the preview.
#include "display/DisplayEngine.h"
#include "display/ScrollWindow.h"

#include <algorithm>
#include <string>

namespace lum {
namespace {

int ClampedLineCount(const Settings& settings) {
    return std::clamp(settings.LineCount, 0, kLinesPerSet);
}

const std::string kNoTemplate;

} // namespace

void DisplayEngine::WriteDisplayFrame() {
    const std::size_t width = Width();
    const int lineCount = ClampedLineCount(settings_);

    frameText_.clear();
    for (int line = 1; line <= lineCount; ++line) {
        const LineSlot* slot = ActiveSlot(line);
        std::string text = ExpandPlaceholders(slot != nullptr ? slot->Template : kNoTemplate);
        if (bannerPeriod_) {
            text = line == 1 ? kBannerLine1 : line == 2 ? kBannerLine2 : std::string_view();
        }
        AppendScrollWindow(frameText_, text, settings_.Separator, ActiveOffset(line), width);
    }

    if (output_.Busy()) {
        return;
    }
    output_.Frame({frameText_, width, static_cast<std::size_t>(lineCount)});
}

void DisplayEngine::ClearDisplay() {
    const std::size_t width = Width();
    const auto lineCount = static_cast<std::size_t>(ClampedLineCount(settings_));
    const std::string blanks(width * lineCount, ' ');
    output_.Clear({blanks, width, lineCount});
}

PreviewLine DisplayEngine::Preview(int line) {
    const LineSlot* slot = ActiveSlot(line);
    const std::string expanded = ExpandPlaceholders(slot != nullptr ? slot->Template : kNoTemplate);
    const std::size_t width = Width();
    return {std::min(expanded.size(), width),
            ScrollWindow(expanded, settings_.Separator, ActiveOffset(line), width)};
}

} // namespace lum
