// The display frames: the shown lines of the active set, each cut to LineWidth at its scroll
// offset and padded, sent in one write; the clear text; and the same lines for the preview.
#include "display/DisplayBytes.h"
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

    std::string frame;
    frame.reserve(width * static_cast<std::size_t>(lineCount) + 1);
    std::string line1;
    std::string line2;
    for (int line = 1; line <= lineCount; ++line) {
        const LineSlot* slot = ActiveSlot(line);
        std::string text = ExpandPlaceholders(slot != nullptr ? slot->Template : kNoTemplate);
        if (bannerPeriod_) {
            text = line == 1 ? kBannerLine1 : line == 2 ? kBannerLine2 : std::string_view();
        }
        const std::size_t lineStart = frame.size();
        AppendScrollWindow(frame, text, settings_.Separator, ActiveOffset(line), width);
        if (line == 1) {
            line1.assign(frame, lineStart, width);
        } else if (line == 2) {
            line2.assign(frame, lineStart, width);
        }
    }

    if (port_.SendInProgress()) {
        return;
    }
    if (settings_.Ba63Mode) {
        std::string ba63;
        ba63.reserve(2 * width + 10);
        ba63 += SequenceBytes(DisplaySequence::CursorHome);
        ba63 += line1;
        ba63 += SequenceBytes(DisplaySequence::Ba63LineBreak);
        ba63 += line2;
        port_.SendText(ba63);
        return;
    }
    if (settings_.SendCarriageReturn) {
        frame += SequenceBytes(DisplaySequence::FrameEnd);
    }
    port_.SendText(frame);
}

void DisplayEngine::ClearDisplay() {
    if (settings_.Ba63Mode) {
        port_.SendText(SequenceBytes(DisplaySequence::Ba63Clear));
        return;
    }
    std::string blanks(Width() * static_cast<std::size_t>(ClampedLineCount(settings_)), ' ');
    if (settings_.SendCarriageReturn) {
        blanks += SequenceBytes(DisplaySequence::FrameEnd);
    }
    port_.SendText(blanks);
}

PreviewLine DisplayEngine::Preview(int line) {
    const LineSlot* slot = ActiveSlot(line);
    const std::string expanded = ExpandPlaceholders(slot != nullptr ? slot->Template : kNoTemplate);
    const std::size_t width = Width();
    return {std::min(expanded.size(), width),
            ScrollWindow(expanded, settings_.Separator, ActiveOffset(line), width)};
}

} // namespace lum
