#include "platform/HostLink.h"

#include <windows.h>

namespace lum::platform {

std::intptr_t SendWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    if (window == nullptr) {
        return 0;
    }
    return static_cast<std::intptr_t>(SendMessageA(static_cast<HWND>(window), message,
                                                   static_cast<WPARAM>(wParam),
                                                   static_cast<LPARAM>(lParam)));
}

} // namespace lum::platform
