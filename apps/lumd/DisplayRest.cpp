#include "apps/lumd/DisplayRest.h"

namespace lum::lumd {

DisplayRest::DisplayRest(platform::Timer& timer, std::function<void(RestPhase)> onPhase)
    : timer_(timer), onPhase_(std::move(onPhase)) {
    timer_.OnTimer = [this] { OnTick(); };
}

DisplayRest::~DisplayRest() {
    timer_.SetEnabled(false);
    timer_.OnTimer = nullptr;
}

void DisplayRest::SetTimes(std::uint32_t restAfterMs, std::uint32_t blankAfterMs) {
    restAfterMs_ = restAfterMs;
    blankAfterMs_ = blankAfterMs;
}

void DisplayRest::PlayerChanged(bool playing) {
    Enter(RestPhase::Awake);
    CountTo(playing ? 0 : restAfterMs_);
}

void DisplayRest::OnTick() {
    if (phase_ == RestPhase::Awake) {
        Enter(RestPhase::Resting);
        CountTo(blankAfterMs_);
    } else {
        Enter(RestPhase::Blank);
        CountTo(0);
    }
}

void DisplayRest::Enter(RestPhase phase) {
    if (phase == phase_) {
        return;
    }
    phase_ = phase;
    if (onPhase_) {
        onPhase_(phase);
    }
}

void DisplayRest::CountTo(std::uint32_t ms) {
    timer_.SetEnabled(false);
    if (ms != 0) {
        timer_.SetInterval(ms);
        timer_.SetEnabled(true);
    }
}

} // namespace lum::lumd
