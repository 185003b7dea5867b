// The display frames: the shown lines of the active set (or of the banner, or of the screen
// shown in its place), each cut to LineWidth at its scroll offset and padded, handed to the
// output as one frame; the blank frame of the clear; and the same lines for the preview.
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

/// Line `line` (1-8) of `overlay`; empty past its lines.
const std::string& OverlayLine(const Overlay& overlay, int line) {
    const auto at = static_cast<std::size_t>(line - 1);
    return at < overlay.Lines.size() ? overlay.Lines[at] : kNoTemplate;
}

bool Scrolls(const LineSlot* slot) {
    return slot != nullptr && (slot->ScrollMode == kScrollLeft || slot->ScrollMode == kScrollRight);
}

} // namespace

Overlay PluginBanner() {
    return {{std::string(kBannerLine1), std::string(kBannerLine2)}, false};
}

std::string DisplayEngine::ExpandPlaceholders(const std::string& lineTemplate) {
    std::string text = expander_.Expand(lineTemplate);
    if (charset_ != nullptr) {
        charset_->Fold(text);
    }
    return text;
}

std::string DisplayEngine::Separator() const {
    std::string separator = settings_.Separator;
    if (charset_ != nullptr) {
        charset_->Fold(separator);
    }
    return separator;
}

void DisplayEngine::WriteDisplayFrame() {
    BuildFrame(false);
}

void DisplayEngine::BuildFrame(bool stepScroll) {
    const std::size_t width = Width();
    const int lineCount = ClampedLineCount(settings_);
    const Overlay* overlay = bannerPeriod_ ? &banner_ : screen_ ? &*screen_ : nullptr;
    if (blank_) {
        motion_ = FrameMotion::Still;
        SendBlank();
        return;
    }
    const std::string separator = Separator();

    static_cast<void>(expander_.TakeMotion());
    motion_ = FrameMotion::Still;
    frameText_.clear();
    for (int line = 1; line <= lineCount; ++line) {
        const LineSlot* slot = ActiveSlot(line);
        std::int32_t offset = ActiveOffset(line);
        bool scrolls = Scrolls(slot);
        std::string text;
        if (overlay != nullptr && overlay->Templates) {
            // lumd's screens ask only what they show, and never scroll.
            text = ExpandPlaceholders(OverlayLine(*overlay, line));
            offset = 0;
            scrolls = false;
        } else {
            // The set's line is expanded even under the banner: the player is asked the same
            // questions at every tick.
            text = ExpandPlaceholders(slot != nullptr ? slot->Template : kNoTemplate);
            if (stepScroll && slot != nullptr) {
                StepScrollOffset(line, text.size(), separator.size(), width);
                offset = ActiveOffset(line);
            }
            if (overlay != nullptr) {
                static_cast<void>(expander_.TakeMotion());
                text = OverlayLine(*overlay, line);
            }
        }
        motion_ = std::max(motion_, expander_.TakeMotion());
        if (scrolls && text.size() > width) {
            motion_ = FrameMotion::Ticks;
        }
        AppendScrollWindow(frameText_, text, separator, offset, width);
    }
    SendFrame(width, static_cast<std::size_t>(lineCount));
}

void DisplayEngine::SendFrame(std::size_t width, std::size_t lineCount) {
    if (changedOnly_ && sent_ == Sent::Frame && frameText_ == sentText_) {
        frameWaiting_ = false;
        return; // the display shows it already
    }
    frameWaiting_ = output_.Busy();
    if (frameWaiting_) {
        return;
    }
    output_.Frame({frameText_, width, lineCount});
    if (changedOnly_) {
        sent_ = Sent::Frame;
        sentText_ = frameText_;
    }
}

void DisplayEngine::SendBlank() {
    if (changedOnly_ && sent_ == Sent::Blank) {
        frameWaiting_ = false;
        return;
    }
    frameWaiting_ = output_.Busy();
    if (!frameWaiting_) {
        ClearDisplay();
    }
}

void DisplayEngine::ClearDisplay() {
    const std::size_t width = Width();
    const auto lineCount = static_cast<std::size_t>(ClampedLineCount(settings_));
    const std::string blanks(width * lineCount, ' ');
    output_.Clear({blanks, width, lineCount});
    sent_ = Sent::Blank;
}

PreviewLine DisplayEngine::Preview(int line) {
    const LineSlot* slot = ActiveSlot(line);
    const std::string expanded = ExpandPlaceholders(slot != nullptr ? slot->Template : kNoTemplate);
    const std::size_t width = Width();
    return {std::min(expanded.size(), width),
            ScrollWindow(expanded, Separator(), ActiveOffset(line), width)};
}

} // namespace lum
