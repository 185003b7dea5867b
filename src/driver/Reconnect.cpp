// Bringing the display back after its serial device went away. The loss shows in the serial
// component's reports; the port is then closed, on the next turn of the message loop (not
// inside the report, whose synchronised call the worker is waiting for), and opened again once
// a second, without a message, until the device is back. Then the display gets the state it
// had: on, the start sequence runs again; off, DTR goes down.
#include "driver/DeviceLoss.h"
#include "driver/DisplayDriver.h"

namespace lum {
namespace {

/// Milliseconds from noticing the loss to closing the port.
constexpr std::uint32_t kCloseDelay = 1;
/// Milliseconds between two attempts to open the port again.
constexpr std::uint32_t kReopenInterval = 1000;

} // namespace

void DisplayDriver::SerialReport(std::uint32_t place, std::uint32_t code) {
    if (reopening_) {
        reopenRefused_ = reopenRefused_ || IsNoSerialLine(place);
        return;
    }
    // Reports while the port is closed or closing come from our own close, not from the device.
    if (deviceLost_ || port_ == nullptr || !port_->Active() || !IsDeviceLoss(place, code)) {
        return;
    }
    deviceLost_ = true;
    closePending_ = true;
    displayWanted_ = port_->DTRState();
    StopDisplayTimers();
    platform::Timer& reconnect = Timer(DriverTimer::Reconnect);
    reconnect.SetInterval(kCloseDelay);
    reconnect.SetEnabled(true);
}

void DisplayDriver::OnReconnectTick() {
    platform::Timer& reconnect = Timer(DriverTimer::Reconnect);
    if (port_ == nullptr || !deviceLost_) {
        reconnect.SetEnabled(false);
        return;
    }
    if (closePending_) {
        closePending_ = false;
        port_->SetActive(false);
        reconnect.SetInterval(kReopenInterval);
        return;
    }
    // The dialog's "OK" may have opened it meanwhile, on a device that may still be missing:
    // every attempt opens the port afresh and looks at what its opening reports.
    port_->SetActive(false);
    reopening_ = true;
    reopenRefused_ = false;
    port_->SetActive(true);
    reopening_ = false;
    if (!port_->Active()) {
        return;
    }
    if (reopenRefused_) { // the name opened, but the device behind it is still missing
        port_->SetActive(false);
        return;
    }
    deviceLost_ = false;
    reconnect.SetEnabled(false);
    // The port opens with DTR up.
    if (displayWanted_) {
        StopDisplayTimers(); // whatever ran meanwhile: the sequence starts from its beginning
        SwitchOn();
    } else {
        port_->SetDTRState(false);
    }
}

} // namespace lum
