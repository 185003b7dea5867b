#pragma once
// Playing times as five-character texts: "mm:ss" below 99 minutes 59 seconds, "hhhmm" from
// there on (more hour digits when needed).

#include <cstdint>
#include <string>

namespace lum {

/// `ms` milliseconds as "mm:ss", or as hours and minutes "hhhmm" from 5,999,000 ms on; seconds
/// rounded to the nearest, halves to even. A negative time shows as "00:00".
[[nodiscard]] std::string FormatPlayTime(std::int64_t ms);

} // namespace lum
