#include "driver/SerialDisplayPort.h"

namespace lum {

void SerialDisplayPort::SendText(std::string_view text) {
    if (component_ != nullptr) {
        component_->SendText(text);
    }
}

bool SerialDisplayPort::SendInProgress() const {
    return component_ != nullptr && component_->SendInProgress();
}

} // namespace lum
