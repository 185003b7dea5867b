#pragma once
// The set rotation: the active text set advances through sets 1 to SetCount and starts again at
// set 1, carrying the scroll offset of each line whose template reads the same in both sets.

#include "display/ShowState.h"
#include "settings/Settings.h"

#include <cstdint>
#include <iterator>

namespace lum {

/// One step of the rotation: from ActiveSet `From` with SetCount in [MinSetCount, MaxSetCount]
/// the rotation goes to set `To`, carrying offsets from set `CarriedFrom` (0: none change).
struct RotationTransition {
    std::int32_t From;
    std::int32_t MinSetCount;
    std::int32_t MaxSetCount;
    std::int32_t To;
    std::int32_t CarriedFrom;
};

/// Every transition the rotation step can make. ActiveSet 5 is the dialog's value one past the
/// last set.
inline constexpr RotationTransition kRotationTransitions[] = {
    // From  SetCount  To  CarriedFrom
    {1, 1, 1, 1, 0}, {1, 2, 4, 2, 1}, {2, 1, 2, 1, 2}, {2, 3, 4, 3, 2},
    {3, 1, 3, 1, 3}, {3, 4, 4, 4, 3}, {4, 1, 4, 1, 4}, {5, 1, 4, 1, 4},
};
static_assert(std::size(kRotationTransitions) == 8);

/// The rotation step (one tick of the rotation timer): moves the shown ActiveSet on by the
/// transition table. Each of the eight lines of the set switched to takes the offset of the same
/// line of the set left when the two raw templates of `settings` are equal, and 0 otherwise; the
/// set left keeps its offsets. ActiveSet and SetCount outside their ranges (1-5, 1-4) are taken
/// at the nearest end.
void RotateSet(const Settings& settings, ShowState& shown);

/// What follows every change of ActiveSet: while the rotation timer is stopped, a 5 (one past
/// the last set) becomes 4.
void KeepActiveSetShown(ShowState& shown, bool rotationTimerRunning);

} // namespace lum
