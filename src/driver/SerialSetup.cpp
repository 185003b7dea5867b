#include "driver/SerialSetup.h"

#include "settings/Settings.h"

#include <string>

namespace lum {

void SetDisplayLine(DisplayLine& line, std::int32_t comPort, std::string_view baudRateText) {
    if (comPort >= 1 && comPort <= 9) {
        line.SetPortName("COM" + std::to_string(comPort));
    }
    for (const std::int32_t rate : kBaudRates) {
        if (baudRateText == std::to_string(rate)) {
            line.SetBaudRate(static_cast<std::uint32_t>(rate));
        }
    }
    line.SetFrame8N1();
}

void OpenDisplayLine(DisplayLine& line, std::int32_t comPort, std::string_view baudRateText) {
    SetDisplayLine(line, comPort, baudRateText);
    line.SetOpen(true);
}

} // namespace lum
