#pragma once
// The display engine's port on the serial port component, for as long as the component exists:
// after quit nothing reaches it.

#include "display/DisplayPort.h"
#include "serial/SerialNG.h"

#include <memory>

namespace lum {

/// Writes display frames and commands through the serial port component its owner holds.
class SerialDisplayPort final : public DisplayPort {
public:
    /// `component` is the owner's pointer to the component; null once it is destroyed.
    explicit SerialDisplayPort(const std::unique_ptr<serial::TSerialPortNG>& component)
        : component_(component) {}

    void SendText(std::string_view text) override;
    [[nodiscard]] bool SendInProgress() const override;

private:
    const std::unique_ptr<serial::TSerialPortNG>& component_;
};

} // namespace lum
