#pragma once
// The display engine's port on the main window's serial port component, for as long as the
// component exists: after quit nothing reaches it.

#include "display/DisplayPort.h"

namespace lum {

class TMainForm;

/// Writes display frames and commands through SerialPortNG1.
class SerialDisplayPort final : public DisplayPort {
public:
    explicit SerialDisplayPort(TMainForm& mainForm) : mainForm_(mainForm) {}

    void SendText(std::string_view text) override;
    [[nodiscard]] bool SendInProgress() const override;

private:
    TMainForm& mainForm_;
};

} // namespace lum
