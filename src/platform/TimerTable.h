#pragma once
// Timers created from a table: one row per timer (name, interval, running from creation, tick
// handler), keyed by an enum of its owner, so that a timer reads as one line. The windows lay
// out their controls the same way (ui/FormLayout.h).

#include "platform/Ui.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lum::platform {

/// One timer of an owner's table; Key names the row's own place in the table.
template <typename Id, typename Owner> struct TimerRow {
    Id Key;
    std::string_view Name;
    std::uint32_t Interval;
    bool Running; ///< running from creation
    void (Owner::*OnTimer)();
};

/// True when every row stands at the place its Key names, so a table can be indexed by its
/// enum.
template <typename Row, std::size_t N> constexpr bool RowsInIdOrder(const Row (&rows)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<std::size_t>(rows[i].Key) != i) {
            return false;
        }
    }
    return true;
}

/// Creates the timers of `rows` on `form`, binds their ticks to `owner` and keeps them in
/// `timers`, indexed by their Key.
template <typename Id, typename Owner, std::size_t N>
void CreateTimers(Form& form, const TimerRow<Id, Owner> (&rows)[N], Owner& owner,
                  std::array<Timer*, N>& timers) {
    for (const TimerRow<Id, Owner>& row : rows) {
        Timer& timer = form.AddTimer(row.Name, row.Interval, row.Running);
        timer.OnTimer = [&owner, handler = row.OnTimer] { (owner.*handler)(); };
        timers[static_cast<std::size_t>(row.Key)] = &timer;
    }
}

} // namespace lum::platform
