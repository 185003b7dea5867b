// The short commands other parts of the system send to the display, through the engine's
// output. Like the clear they do not wait for a busy output: a port drops them then.
#include "display/DisplayEngine.h"

namespace lum {

void DisplayEngine::SendInitCommand() {
    output_.Initialise(settings_.InitCommand);
}

void DisplayEngine::SendStartLineFeed() {
    output_.StartLineFeed();
}

void DisplayEngine::SendDialogOkText() {
    output_.DialogOkText();
}

void DisplayEngine::SendBrightness(int step) {
    output_.Brightness(step);
}

} // namespace lum
