#include "platform/MessageWindow.h"
#include "platform/headless/InProcessWindow.h"

namespace lum::platform {

struct MessageWindow::Impl final : headless::InProcessWindow {
    explicit Impl(MessageHandler h) : handler(std::move(h)) {}

    std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override {
        return handler(message, wParam, lParam);
    }

    MessageHandler handler;
};

MessageWindow::MessageWindow(MessageHandler handler)
    : impl_(std::make_unique<Impl>(std::move(handler))) {}

MessageWindow::~MessageWindow() = default;

WindowHandle MessageWindow::Handle() const {
    return impl_->Handle();
}

} // namespace lum::platform
