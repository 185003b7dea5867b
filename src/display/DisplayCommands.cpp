// The short commands other parts of the system send to the display, through the engine's
// output. Like the clear they do not wait for a busy output: a port drops them then. Each but the
// brightness may change what the display shows.
#include "display/DisplayEngine.h"

#include <algorithm>

namespace lum {

void DisplayEngine::SendInitCommand() {
    Forget();
    output_.Initialise(settings_.InitCommand);
}

void DisplayEngine::SendStartLineFeed() {
    Forget();
    output_.StartLineFeed();
}

void DisplayEngine::SendDialogOkText() {
    Forget();
    output_.DialogOkText();
}

void DisplayEngine::SendBrightness(int step) {
    output_.Brightness(step);
}

std::uint32_t DisplayEngine::MsToNextMinute() const {
    constexpr std::uint32_t kMinuteMs = 60'000;
    const auto second = static_cast<std::uint32_t>(std::clamp(expander_.Now().Second, 0, 59));
    return kMinuteMs - second * 1000;
}

} // namespace lum
