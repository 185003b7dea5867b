// The display start sequence (DTR up, the initialisation byte after 1000 ms, CR LF 250 ms
// later, then the refresh with a 4000 ms banner period) and the display switch-off.
#include "display/DisplayCommands.h"
#include "display/DisplayFrame.h"
#include "plugin/PluginLife.h"
#include "ui/main/MainForm.h"

namespace lum {

void PluginLife::StartDisplay() {
    serial::TSerialPortNG* port = mainForm_->SerialPortNG1();
    if (port == nullptr) {
        return; // after quit nothing reaches the display any more
    }
    if (deviceLost_) {
        // Nothing can reach the display now: the sequence runs once its device is back.
        displayWanted_ = true;
        mainForm_->ShowDisplayState(true);
        return;
    }
    port->SetDTRState(true);
    mainForm_->ShowDisplayState(true);
    mainForm_->Timer(MainTimer::Timer4).SetEnabled(true);
}

void PluginLife::InitCommandTick() {
    mainForm_->Timer(MainTimer::Timer4).SetEnabled(false);
    // A text that is no number raises here: no CR LF and no refresh follow.
    SendInitCommand();
    if (!deviceLost_) { // a byte that found the device gone ends the sequence here
        mainForm_->Timer(MainTimer::Timer6).SetEnabled(true);
    }
}

void PluginLife::StartLineFeedTick() {
    mainForm_->Timer(MainTimer::Timer6).SetEnabled(false);
    SendStartLineFeed();
    if (!deviceLost_) {
        mainForm_->Timer(MainTimer::Timer5).SetEnabled(true);
        mainForm_->SetBannerPeriod(true);
    }
}

void PluginLife::BannerEndTick() {
    mainForm_->SetBannerPeriod(false);
}

void PluginLife::SwitchDisplayOff() {
    serial::TSerialPortNG* port = mainForm_->SerialPortNG1();
    if (port == nullptr) {
        return;
    }
    mainForm_->ShowDisplayState(false);
    if (deviceLost_) {
        displayWanted_ = false;
        return;
    }
    port->SetDTRState(false);
    mainForm_->Timer(MainTimer::Timer5).SetEnabled(false);
    // A start sequence still pending is cancelled, so it cannot switch the refresh back on.
    mainForm_->Timer(MainTimer::Timer4).SetEnabled(false);
    mainForm_->Timer(MainTimer::Timer6).SetEnabled(false);
    ClearDisplay();
}

bool PluginLife::DisplayIsOn() {
    const serial::TSerialPortNG* port = mainForm_->SerialPortNG1();
    return deviceLost_ ? displayWanted_ : port != nullptr && port->DTRState();
}

void PluginLife::StopDisplayTimers() {
    for (const MainTimer timer : {MainTimer::Timer4, MainTimer::Timer5, MainTimer::Timer6}) {
        mainForm_->Timer(timer).SetEnabled(false);
    }
    mainForm_->SetBannerPeriod(false);
}

} // namespace lum
