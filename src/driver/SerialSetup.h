#pragma once
// Setting up the display's serial line, as the start-up and the dialog's "OK" do it.

#include "driver/DisplayLine.h"

#include <cstdint>
#include <string_view>

namespace lum {

/// Sets the display's line on `line`: the port name "COM1" to "COM9" for `comPort` 1 to 9 (any
/// other value keeps the name), the rate `baudRateText` names when it is one of the five rates
/// (any other text keeps the rate), 8 data bits, one stop bit, no parity, no flow control.
void SetDisplayLine(DisplayLine& line, std::int32_t comPort, std::string_view baudRateText);

/// Sets the display's line on `line` as SetDisplayLine does and opens it (an open line stays
/// open).
void OpenDisplayLine(DisplayLine& line, std::int32_t comPort, std::string_view baudRateText);

} // namespace lum
