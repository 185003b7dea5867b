#pragma once
// A window of this process that answers messages through a handler: a stand-in for the host
// player's window where a tool simulates the host (the display preview).

#include "platform/HostLink.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace lum::platform {

/// Answers one message sent to a MessageWindow.
using MessageHandler = std::function<std::intptr_t(std::uint32_t message, std::uintptr_t wParam,
                                                   std::intptr_t lParam)>;

/// A window that lives as long as this object; SendWindowMessage to Handle() calls the handler
/// on the sending thread, which must be the thread that created the window.
class MessageWindow {
public:
    explicit MessageWindow(MessageHandler handler);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    /// The handle to write into the plug-in record.
    [[nodiscard]] WindowHandle Handle() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace lum::platform
