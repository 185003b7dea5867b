#include "plugin/SerialComponentLine.h"

#include "plugin/DeviceLoss.h"

#include <string>

namespace lum {

SerialComponentLine::SerialComponentLine(platform::SyncCalls& ui, platform::Comm& comm)
    : port_(ui, comm,
            [this](serial::TSerialPortNG&, std::uint32_t place, std::uint32_t code,
                   const std::string&) { OnReport(place, code); }) {
    port_.SetCommPort("COM1");
    port_.SetBaudRate(9600);
    port_.SetErrorNoise(255);
}

void SerialComponentLine::SetPort(std::int32_t comPort) {
    if (comPort >= 1 && comPort <= 9) {
        port_.SetCommPort("COM" + std::to_string(comPort));
    }
}

void SerialComponentLine::SetFrame8N1() {
    port_.SetDataBits(8);
    port_.SetStopBits(0);
    port_.SetParityType(0);
    port_.SetFlowControl(0);
}

void SerialComponentLine::OnReport(std::uint32_t place, std::uint32_t code) {
    if (IsNoSerialLine(place)) {
        Report(LineTrouble::NoSerialLine);
    } else if (IsDeviceLoss(place, code)) {
        Report(LineTrouble::DeviceGone);
    }
}

} // namespace lum
