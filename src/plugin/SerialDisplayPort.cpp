#include "plugin/SerialDisplayPort.h"

#include "ui/main/MainForm.h"

namespace lum {

void SerialDisplayPort::SendText(std::string_view text) {
    if (serial::TSerialPortNG* port = mainForm_.SerialPortNG1(); port != nullptr) {
        port->SendText(text);
    }
}

bool SerialDisplayPort::SendInProgress() const {
    const serial::TSerialPortNG* port = mainForm_.SerialPortNG1();
    return port != nullptr && port->SendInProgress();
}

} // namespace lum
