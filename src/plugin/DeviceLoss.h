#pragma once
// Telling from the serial component's reports that the display's device has gone away (a USB
// adapter unplugged, a hub reset): a failed send, read or line-event wait whose error code is
// one a vanished device gives; and telling that an attempt to open it again found no device.

#include <cstdint>

namespace lum {

/// True when a report with `place` and `code` says that the serial device has gone.
[[nodiscard]] bool IsDeviceLoss(std::uint32_t place, std::uint32_t code);

/// True when a report raised while the port opens says that what opened is no serial line (its
/// queues or line state cannot be set up), as Wine opens a COM port whose device is missing.
[[nodiscard]] bool IsNoSerialLine(std::uint32_t place);

} // namespace lum
