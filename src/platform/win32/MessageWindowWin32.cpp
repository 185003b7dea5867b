#include "platform/MessageWindow.h"

#include <windows.h>

namespace lum::platform {
namespace {

constexpr char kClassName[] = "LumMessageWindow";

// The host's queries (WM_USER and up) and commands (WM_COMMAND) go to the handler.
LRESULT CALLBACK MessageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* handler =
        reinterpret_cast<const MessageHandler*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (handler != nullptr && (message == WM_COMMAND || message >= WM_USER)) {
        return static_cast<LRESULT>((*handler)(message, wParam, lParam));
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Registers the window class once; false when that failed.
bool EnsureWindowClass() {
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &MessageWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClassName;
        return RegisterClassA(&windowClass) != 0;
    }();
    return registered;
}

} // namespace

struct MessageWindow::Impl {
    MessageHandler handler;
    HWND window = nullptr;
};

MessageWindow::MessageWindow(MessageHandler handler) : impl_(std::make_unique<Impl>()) {
    impl_->handler = std::move(handler);
    if (!EnsureWindowClass()) {
        return;
    }
    impl_->window = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
    if (impl_->window != nullptr) {
        SetWindowLongPtrA(impl_->window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(&impl_->handler));
    }
}

MessageWindow::~MessageWindow() {
    if (impl_->window != nullptr) {
        DestroyWindow(impl_->window);
    }
}

WindowHandle MessageWindow::Handle() const {
    return impl_->window;
}

} // namespace lum::platform
