#pragma once
// Setting up the display's serial line, as the start-up and the dialog's "OK" do it.

#include "serial/SerialNG.h"

#include <cstdint>
#include <string_view>

namespace lum {

/// Sets the display's line on `port`: the port name "COM1" to "COM9" for `comPort` 1 to 9 (any
/// other value keeps the name), the rate `baudRateText` names when it is one of the five rates
/// (any other text keeps the rate), 8 data bits, one stop bit, no parity, no flow control.
void SetDisplayLine(serial::TSerialPortNG& port, std::int32_t comPort,
                    std::string_view baudRateText);

/// Sets the display's line on `port` as SetDisplayLine does and opens it (an open port stays
/// open).
void OpenDisplayLine(serial::TSerialPortNG& port, std::int32_t comPort,
                     std::string_view baudRateText);

} // namespace lum
