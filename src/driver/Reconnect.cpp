// Bringing the display back after its serial device went away. The loss shows as the line's
// trouble; the line is then closed, on the next turn of the message loop (not inside the report,
// which may come from inside a synchronised call the serial worker is waiting for), and opened
// again once a second, without a message, until the device is back. Then the display gets the
// state it had: on, the start sequence runs again; off, DTR goes down.
#include "driver/DisplayDriver.h"

namespace lum {
namespace {

/// Milliseconds from noticing the loss to closing the line.
constexpr std::uint32_t kCloseDelay = 1;
/// Milliseconds between two attempts to open the line again.
constexpr std::uint32_t kReopenInterval = 1000;

} // namespace

void DisplayDriver::OnLineTrouble(LineTrouble trouble) {
    if (reopening_) {
        reopenRefused_ = reopenRefused_ || trouble == LineTrouble::NoSerialLine;
        return;
    }
    // Troubles while the line is closed or closing come from our own close, not from the device.
    if (deviceLost_ || line_ == nullptr || !line_->IsOpen() || trouble != LineTrouble::DeviceGone) {
        return;
    }
    deviceLost_ = true;
    closePending_ = true;
    displayWanted_ = line_->Dtr();
    StopDisplayTimers();
    platform::Timer& reconnect = Timer(DriverTimer::Reconnect);
    reconnect.SetInterval(kCloseDelay);
    reconnect.SetEnabled(true);
    TellDevicePresence(false);
}

void DisplayDriver::OnReconnectTick() {
    platform::Timer& reconnect = Timer(DriverTimer::Reconnect);
    if (line_ == nullptr || !deviceLost_) {
        reconnect.SetEnabled(false);
        return;
    }
    if (closePending_) {
        closePending_ = false;
        line_->SetOpen(false);
        reconnect.SetInterval(kReopenInterval);
        return;
    }
    // The dialog's "OK" may have opened it meanwhile, on a device that may still be missing:
    // every attempt opens the line afresh and looks at what its opening reports.
    line_->SetOpen(false);
    reopening_ = true;
    reopenRefused_ = false;
    line_->SetOpen(true);
    reopening_ = false;
    if (!line_->IsOpen()) {
        return;
    }
    if (reopenRefused_) { // the name opened, but the device behind it is still missing
        line_->SetOpen(false);
        return;
    }
    deviceLost_ = false;
    reconnect.SetEnabled(false);
    TellDevicePresence(true);
    // The line opens with DTR up.
    if (displayWanted_) {
        StopDisplayTimers(); // whatever ran meanwhile: the sequence starts from its beginning
        SwitchOn();
    } else {
        line_->SetDtr(false);
    }
}

} // namespace lum
