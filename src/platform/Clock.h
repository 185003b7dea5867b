#pragma once
// The local clock and the system's date and time texts, as the placeholder expansion shows them.

#include <cstdint>
#include <string>

namespace lum::platform {

/// A local calendar date and wall-clock time, to the second.
struct LocalDateTime {
    std::int32_t Year = 2000;
    std::int32_t Month = 1; ///< 1-12
    std::int32_t Day = 1;   ///< 1-31
    std::int32_t Hour = 0;  ///< 0-23
    std::int32_t Minute = 0;
    std::int32_t Second = 0;

    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

/// The current local date and time.
[[nodiscard]] LocalDateTime CurrentLocalTime();

/// `when`'s date in the system's short date format (DD.MM.YYYY where the system has none).
[[nodiscard]] std::string ShortDateText(const LocalDateTime& when);

/// `when`'s time in the system's long time format (HH:MM:SS where the system has none).
[[nodiscard]] std::string LongTimeText(const LocalDateTime& when);

} // namespace lum::platform
