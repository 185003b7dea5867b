#include "driver/SerialDisplayPort.h"

namespace lum {

void SerialDisplayPort::SendText(std::string_view text) {
    if (line_ != nullptr) {
        line_->Send(text);
    }
}

bool SerialDisplayPort::SendInProgress() const {
    return line_ != nullptr && line_->SendPending();
}

} // namespace lum
