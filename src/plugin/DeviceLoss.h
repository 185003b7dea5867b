#pragma once
// Telling from the serial component's reports that the display's device has gone away (a USB
// adapter unplugged, a hub reset): a failed send, read or line-event wait whose error code is
// one a vanished device gives.

#include <cstdint>

namespace lum {

/// True when a report with `place` and `code` says that the serial device has gone.
[[nodiscard]] bool IsDeviceLoss(std::uint32_t place, std::uint32_t code);

} // namespace lum
