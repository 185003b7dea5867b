#pragma once
// The display engine's port on the display's line, for as long as the line exists: after quit
// nothing reaches it.

#include "display/DisplayPort.h"
#include "driver/DisplayLine.h"

#include <memory>

namespace lum {

/// Writes display frames and commands through the line its owner holds.
class SerialDisplayPort final : public DisplayPort {
public:
    /// `line` is the owner's pointer to the line; null once it is released.
    explicit SerialDisplayPort(const std::unique_ptr<DisplayLine>& line) : line_(line) {}

    void SendText(std::string_view text) override;
    [[nodiscard]] bool SendInProgress() const override;

private:
    const std::unique_ptr<DisplayLine>& line_;
};

} // namespace lum
