// The short commands other parts of the system send to the display. Like the clear text they
// do not wait for a pending write: the port drops them then.
#include "display/DisplayBytes.h"
#include "display/DisplayEngine.h"

namespace lum {

void DisplayEngine::SendInitCommand() {
    port_.SendText(InitCommandBytes(settings_.InitCommand));
}

void DisplayEngine::SendStartLineFeed() {
    port_.SendText(SequenceBytes(DisplaySequence::StartLineFeed));
}

void DisplayEngine::SendDialogOkText() {
    port_.SendText(SequenceBytes(settings_.Ba63Mode ? DisplaySequence::Ba63Clear
                                                    : DisplaySequence::StartLineFeed));
}

void DisplayEngine::SendBrightness(int step) {
    port_.SendText(BrightnessBytes(step));
}

} // namespace lum
