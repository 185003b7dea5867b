#pragma once
// Character delay times by baud rate, used to derive the receive and write time-outs.

#include <cstdint>
#include <iterator>

namespace lum::serial {

/// One row: from this baud rate on, a character takes about this many microseconds.
struct CharDelayRow {
    std::uint32_t MinBaudRate;
    std::uint32_t DelayMicroseconds;
};

// clang-format off
inline constexpr CharDelayRow CharDelayTable[] = {
    // MinBaudRate  DelayMicroseconds
    {110,           100000},
    {300,           37000},
    {600,           18000},
    {1200,          9000},
    {2400,          4500},
    {4800,          2300},
    {9600,          1100},
    {14400,         760},
    {19200,         570},
    {38400,         290},
    {56000,         200},
    {57600,         190},
    {115200,        95},
    {128000,        85},
    {256000,        43},
};
// clang-format on
static_assert(std::size(CharDelayTable) == 15);

/// Delay used below the table's first rate.
inline constexpr std::uint32_t kDefaultCharDelay = 1100;

/// The delay of the last row whose rate `baudRate` reaches.
[[nodiscard]] constexpr std::uint32_t CharDelayFor(std::uint32_t baudRate) {
    std::uint32_t delay = kDefaultCharDelay;
    for (const CharDelayRow& row : CharDelayTable) {
        if (baudRate >= row.MinBaudRate) {
            delay = row.DelayMicroseconds;
        }
    }
    return delay;
}

} // namespace lum::serial
