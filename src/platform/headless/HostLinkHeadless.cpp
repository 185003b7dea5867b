#include "platform/HostLink.h"
#include "platform/headless/InProcessWindow.h"

#include <mutex>
#include <unordered_set>

namespace lum::platform {
namespace {

std::mutex& RegistryLock() {
    static std::mutex lock;
    return lock;
}

std::unordered_set<WindowHandle>& LiveWindows() {
    static std::unordered_set<WindowHandle> windows;
    return windows;
}

} // namespace

namespace headless {

InProcessWindow::InProcessWindow() {
    const std::lock_guard guard(RegistryLock());
    LiveWindows().insert(this);
}

InProcessWindow::~InProcessWindow() {
    const std::lock_guard guard(RegistryLock());
    LiveWindows().erase(this);
}

} // namespace headless

std::intptr_t SendWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    {
        const std::lock_guard guard(RegistryLock());
        if (window == nullptr || !LiveWindows().contains(window)) {
            return 0;
        }
    }
    return static_cast<headless::InProcessWindow*>(window)->HandleMessage(message, wParam, lParam);
}

} // namespace lum::platform
