#include "display/DisplayFrame.h"

#include "display/DisplayBytes.h"
#include "display/DisplayEngine.h"
#include "display/Placeholders.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace lum {
namespace {

// Appends the `width` characters of `text` repeated end to end that start at `offset`; where
// that runs past the second repetition, only blanks follow (appended by the caller's padding).
void AppendWindow(std::string& out, std::string_view text, std::int64_t offset, std::size_t width) {
    const auto start = static_cast<std::uint64_t>(std::max<std::int64_t>(offset, 0));
    const std::uint64_t twice = 2 * static_cast<std::uint64_t>(text.size());
    for (std::uint64_t at = start; at < twice && at < start + width; ++at) {
        out += text[static_cast<std::size_t>(at % text.size())];
    }
}

std::size_t ClampedWidth(const Settings& settings) {
    return static_cast<std::size_t>(std::max(settings.LineWidth, 0));
}

int ClampedLineCount(const Settings& settings) {
    return std::clamp(settings.LineCount, 0, kLinesPerSet);
}

} // namespace

void WriteDisplayFrame() {
    const Settings& settings = GlobalSettings();
    const DisplayEngineState& engine = DisplayEngine();
    const std::size_t width = ClampedWidth(settings);
    const int lineCount = ClampedLineCount(settings);
    const bool setShown = settings.ActiveSet >= 1 && settings.ActiveSet <= kTextSetCount;
    static const std::string noTemplate;

    std::string frame;
    frame.reserve(width * static_cast<std::size_t>(lineCount) + 1);
    std::string line1;
    std::string line2;
    for (int line = 1; line <= lineCount; ++line) {
        const LineSlot* slot = setShown ? &settings.Slot(settings.ActiveSet, line) : nullptr;
        std::string text = ExpandPlaceholders(slot != nullptr ? slot->Template : noTemplate);
        if (engine.BannerPeriod) {
            text = line == 1 ? kBannerLine1 : line == 2 ? kBannerLine2 : std::string_view();
        }
        const std::size_t lineStart = frame.size();
        if (text.size() > width) {
            text += settings.Separator;
            AppendWindow(frame, text, slot != nullptr ? slot->ScrollOffset : 0, width);
        } else {
            frame += text;
        }
        frame.append(lineStart + width - frame.size(), ' ');
        if (line == 1) {
            line1.assign(frame, lineStart, width);
        } else if (line == 2) {
            line2.assign(frame, lineStart, width);
        }
    }

    if (engine.Port == nullptr || engine.Port->SendInProgress()) {
        return;
    }
    if (settings.Ba63Mode) {
        std::string ba63;
        ba63.reserve(2 * width + 10);
        ba63 += SequenceBytes(DisplaySequence::CursorHome);
        ba63 += line1;
        ba63 += SequenceBytes(DisplaySequence::Ba63LineBreak);
        ba63 += line2;
        engine.Port->SendText(ba63);
        return;
    }
    if (settings.SendCarriageReturn) {
        frame += SequenceBytes(DisplaySequence::FrameEnd);
    }
    engine.Port->SendText(frame);
}

void ClearDisplay() {
    const Settings& settings = GlobalSettings();
    const DisplayEngineState& engine = DisplayEngine();
    if (engine.Port == nullptr) {
        return;
    }
    if (settings.Ba63Mode) {
        engine.Port->SendText(SequenceBytes(DisplaySequence::Ba63Clear));
        return;
    }
    std::string blanks(
        ClampedWidth(settings) * static_cast<std::size_t>(ClampedLineCount(settings)), ' ');
    if (settings.SendCarriageReturn) {
        blanks += SequenceBytes(DisplaySequence::FrameEnd);
    }
    engine.Port->SendText(blanks);
}

} // namespace lum
