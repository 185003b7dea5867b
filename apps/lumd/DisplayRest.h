#pragma once
// When the display rests (lumd's rule): after the player has been stopped or paused for a while
// the display shows its resting screen, dimmed; after a while more it goes blank. Any change of
// the player wakes it at once, and while the player does not play, the count starts afresh.

#include "platform/Timer.h"

#include <cstdint>
#include <functional>

namespace lum::lumd {

/// The display's state of rest.
enum class RestPhase {
    Awake,   ///< it shows the player
    Resting, ///< it shows the resting screen at the lowest brightness
    Blank,   ///< it shows nothing
};

/// The rest's clock.
class DisplayRest {
public:
    /// Counts on `timer` (the rest's own, stopped); `onPhase` hears each change of phase. Both
    /// must outlive the rest. Awake, counting nothing until the player's first report.
    DisplayRest(platform::Timer& timer, std::function<void(RestPhase)> onPhase);
    ~DisplayRest();
    DisplayRest(const DisplayRest&) = delete;
    DisplayRest& operator=(const DisplayRest&) = delete;

    /// Rests after `restAfterMs` without play, and goes blank `blankAfterMs` later (0: never);
    /// counts from the next report on.
    void SetTimes(std::uint32_t restAfterMs, std::uint32_t blankAfterMs);
    /// The player has changed (`playing`: it plays now): the display wakes, and while the player
    /// does not play the count to the rest starts afresh.
    void PlayerChanged(bool playing);

    [[nodiscard]] RestPhase Phase() const { return phase_; }

private:
    void OnTick();
    void Enter(RestPhase phase);
    /// Counts `ms` to the next phase; 0 counts nothing.
    void CountTo(std::uint32_t ms);

    platform::Timer& timer_;
    std::function<void(RestPhase)> onPhase_;
    std::uint32_t restAfterMs_ = 0;
    std::uint32_t blankAfterMs_ = 0;
    RestPhase phase_ = RestPhase::Awake;
};

} // namespace lum::lumd
