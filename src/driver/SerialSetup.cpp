#include "driver/SerialSetup.h"

#include "settings/Settings.h"

#include <string>

namespace lum {

void SetDisplayLine(serial::TSerialPortNG& port, std::int32_t comPort,
                    std::string_view baudRateText) {
    if (comPort >= 1 && comPort <= 9) {
        port.SetCommPort("COM" + std::to_string(comPort));
    }
    for (const std::int32_t rate : kBaudRates) {
        if (baudRateText == std::to_string(rate)) {
            port.SetBaudRate(static_cast<std::uint32_t>(rate));
        }
    }
    port.SetDataBits(8);
    port.SetStopBits(0);
    port.SetParityType(0);
    port.SetFlowControl(0);
}

void OpenDisplayLine(serial::TSerialPortNG& port, std::int32_t comPort,
                     std::string_view baudRateText) {
    SetDisplayLine(port, comPort, baudRateText);
    port.SetActive(true);
}

} // namespace lum
