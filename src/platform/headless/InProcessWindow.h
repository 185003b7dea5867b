#pragma once
// A window that lives inside the test process: SendWindowMessage to its handle calls
// HandleMessage directly. Used in place of the host player's window on native builds.

#include "platform/HostLink.h"

#include <cstdint>

namespace lum::platform::headless {

/// Base of an in-process window; registered while it exists, so a message to a destroyed
/// window answers 0 like a message to a stale window handle.
class InProcessWindow {
public:
    InProcessWindow();
    virtual ~InProcessWindow();
    InProcessWindow(const InProcessWindow&) = delete;
    InProcessWindow& operator=(const InProcessWindow&) = delete;

    /// The handle to write into the plug-in record.
    [[nodiscard]] WindowHandle Handle() { return this; }

    /// Answers one message.
    virtual std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t lParam) = 0;
};

} // namespace lum::platform::headless
