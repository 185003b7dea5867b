#include "display/SetRotation.h"

#include <algorithm>

namespace lum {
namespace {

// The highest value of the dialog's ActiveSet field: one past the last set.
constexpr std::int32_t kActiveSetFieldMax = kTextSetCount + 1;

// True when the table has exactly one transition for every ActiveSet 1-5 and SetCount 1-4.
constexpr bool CoversEveryCaseOnce() {
    for (std::int32_t from = 1; from <= kActiveSetFieldMax; ++from) {
        for (std::int32_t count = 1; count <= kTextSetCount; ++count) {
            int matches = 0;
            for (const auto& t : kRotationTransitions) {
                matches += t.From == from && count >= t.MinSetCount && count <= t.MaxSetCount;
            }
            if (matches != 1) {
                return false;
            }
        }
    }
    return true;
}
static_assert(CoversEveryCaseOnce(), "one transition for every ActiveSet and SetCount");

const RotationTransition& FindTransition(std::int32_t from, std::int32_t setCount) {
    return *std::find_if(std::begin(kRotationTransitions), std::end(kRotationTransitions),
                         [&](const RotationTransition& t) {
                             return t.From == from && setCount >= t.MinSetCount &&
                                    setCount <= t.MaxSetCount;
                         });
}

} // namespace

void RotateSet(const Settings& settings, ShowState& shown) {
    const RotationTransition& step =
        FindTransition(std::clamp(shown.ActiveSet, 1, kActiveSetFieldMax),
                       std::clamp(settings.SetCount, 1, kTextSetCount));
    if (step.CarriedFrom != 0) {
        for (int line = 1; line <= kLinesPerSet; ++line) {
            const bool same = settings.Slot(step.CarriedFrom, line).Template ==
                              settings.Slot(step.To, line).Template;
            shown.ScrollOffset(step.To, line) =
                same ? shown.ScrollOffset(step.CarriedFrom, line) : 0;
        }
    }
    // The rotation timer runs while this step does, so KeepActiveSetShown has nothing to do here.
    shown.ActiveSet = step.To;
}

void KeepActiveSetShown(ShowState& shown, bool rotationTimerRunning) {
    if (!rotationTimerRunning && shown.ActiveSet == kActiveSetFieldMax) {
        shown.ActiveSet = kTextSetCount;
    }
}

} // namespace lum
