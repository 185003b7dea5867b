#include "apps/lumd/Signals.h"

#include <cstdlib>

namespace lum::lumd {

void QuitRoute::Arm(std::function<void()> quit) {
    const std::lock_guard lock(mutex_);
    quit_ = std::move(quit);
}

void QuitRoute::Quit() {
    const std::lock_guard lock(mutex_);
    if (!quit_) {
        std::_Exit(0);
    }
    quit_();
}

} // namespace lum::lumd
