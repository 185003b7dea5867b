#pragma once
// What the display shows at run time, beside its configuration: the active text set and the
// scroll offset of every line of every set. It is never stored; the refresh tick, the set
// rotation and the set buttons move it, the frames and the preview read it.

#include "settings/Settings.h"

#include <array>
#include <cstdint>

namespace lum {

/// The display engine's run-time state.
struct ShowState {
    ShowState() {
        // Line 1 of every set starts at offset 99, not 0.
        for (auto& set : Offsets) {
            set[0] = 99;
        }
    }

    /// 1-4; 5, one past the last set, only while the rotation is stopped.
    std::int32_t ActiveSet = 1;
    /// The scroll offsets of lines 1-8 of text sets 1-4, at indexes 0-3 and 0-7.
    std::array<std::array<std::int32_t, kLinesPerSet>, kTextSetCount> Offsets{};

    /// The scroll offset of line `line` (1-8) of text set `set` (1-4).
    [[nodiscard]] std::int32_t& ScrollOffset(int set, int line) {
        return Offsets.at(set - 1).at(line - 1);
    }
    [[nodiscard]] std::int32_t ScrollOffset(int set, int line) const {
        return Offsets.at(set - 1).at(line - 1);
    }

    friend bool operator==(const ShowState&, const ShowState&) = default;
};

} // namespace lum
