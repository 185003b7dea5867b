#include "display/DisplayCommands.h"

#include "display/DisplayBytes.h"
#include "display/DisplayEngine.h"
#include "settings/Settings.h"

namespace lum {
namespace {

void Send(std::string_view bytes) {
    if (DisplayPort* port = DisplayEngine().Port; port != nullptr) {
        port->SendText(bytes);
    }
}

} // namespace

void SendInitCommand() {
    Send(InitCommandBytes(GlobalSettings().InitCommand));
}

void SendStartLineFeed() {
    Send(SequenceBytes(DisplaySequence::StartLineFeed));
}

void SendDialogOkText() {
    Send(SequenceBytes(GlobalSettings().Ba63Mode ? DisplaySequence::Ba63Clear
                                                 : DisplaySequence::StartLineFeed));
}

void SendBrightness(int step) {
    Send(BrightnessBytes(step));
}

} // namespace lum
