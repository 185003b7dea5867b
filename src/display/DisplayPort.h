#pragma once
// The display's serial line as the frame output sees it. The serial port component implements
// it; it allows one write at a time.

#include <string_view>

namespace lum {

/// Where display frames and commands are written.
class DisplayPort {
public:
    virtual ~DisplayPort() = default;

    /// Starts one write of `text`; sends nothing for an empty text.
    virtual void SendText(std::string_view text) = 0;

    /// True while an earlier write is still pending.
    [[nodiscard]] virtual bool SendInProgress() const = 0;
};

} // namespace lum
