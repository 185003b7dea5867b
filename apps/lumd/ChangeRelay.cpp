#include "apps/lumd/ChangeRelay.h"

namespace lum::lumd {

void ChangeRelay::Notify() {
    if (pending_.exchange(true)) {
        return;
    }
    loop_.Post([this] {
        // Cleared first: a change that comes while the handler runs is shown by another turn.
        pending_ = false;
        if (handler_) {
            handler_();
        }
    });
}

} // namespace lum::lumd
