// The display's on and off sequences: the start sequence (DTR up, the initialisation after
// 1000 ms, the start line feed 250 ms later, then the refresh with a 4000 ms banner period), the
// switch-off with the clear, and the line and display state that the start-up and the dialog's
// "OK" apply. The protocol decides the bytes of each step (the plug-in's kinds: the
// initialisation byte, CR LF, the blank frame); the timings are the driver's.
#include "driver/DisplayDriver.h"

#include <algorithm>

namespace lum {
namespace {

/// Sets the display's line on `line`: the port `comPort` (another number than 1-9 keeps it),
/// the rate `baudRate` (none keeps it), 8 data bits, one stop bit, no parity, no flow control.
void SetDisplayLine(DisplayLine& line, std::int32_t comPort,
                    std::optional<std::uint32_t> baudRate) {
    line.SetPort(comPort);
    if (baudRate) {
        line.SetBaudRate(*baudRate);
    }
    line.SetFrame8N1();
}

/// Sets the display's line as SetDisplayLine does and opens it (an open line stays open).
void OpenDisplayLine(DisplayLine& line, std::int32_t comPort,
                     std::optional<std::uint32_t> baudRate) {
    SetDisplayLine(line, comPort, baudRate);
    line.SetOpen(true);
}

} // namespace

void DisplayDriver::OpenLine(std::int32_t comPort, std::optional<std::uint32_t> baudRate,
                             std::int32_t refreshInterval) {
    OpenDisplayLine(*line_, comPort, baudRate);
    Timer(DriverTimer::Refresh).SetInterval(static_cast<std::uint32_t>(refreshInterval));
}

void DisplayDriver::SwitchOn() {
    if (line_ == nullptr) {
        return; // after quit nothing reaches the display any more
    }
    if (deviceLost_) {
        // Nothing can reach the display now: the sequence runs once its device is back.
        displayWanted_ = true;
        ReportOnOff(true);
        return;
    }
    line_->SetDtr(true);
    ReportOnOff(true);
    Timer(DriverTimer::InitCommand).SetEnabled(true);
}

void DisplayDriver::OnInitCommandTick() {
    Timer(DriverTimer::InitCommand).SetEnabled(false);
    // A text that is no number raises here: no line feed and no refresh follow.
    engine_.SendInitCommand();
    if (!deviceLost_) { // a byte that found the device gone ends the sequence here
        Timer(DriverTimer::StartLineFeed).SetEnabled(true);
    }
}

void DisplayDriver::OnStartLineFeedTick() {
    Timer(DriverTimer::StartLineFeed).SetEnabled(false);
    engine_.SendStartLineFeed();
    if (!deviceLost_) {
        if (rules_.RefreshOnlyWhenChanging) {
            Timer(DriverTimer::Refresh)
                .SetInterval(static_cast<std::uint32_t>(std::max(settings_.UpdateInterval, 0)));
        }
        Timer(DriverTimer::Refresh).SetEnabled(true);
        SetBannerPeriod(true);
        if (OnStarted) {
            OnStarted();
        }
    }
}

void DisplayDriver::OnBannerEndTick() {
    SetBannerPeriod(false);
    if (rules_.RefreshOnlyWhenChanging) {
        ShowNow();
    }
}

void DisplayDriver::SwitchOff() {
    if (line_ == nullptr) {
        return;
    }
    ReportOnOff(false);
    if (deviceLost_) {
        displayWanted_ = false;
        return;
    }
    LowerDisplay();
    engine_.ClearDisplay();
}

void DisplayDriver::LowerDisplay() {
    line_->SetDtr(false);
    StopRefresh();
    CancelStartSequence();
}

void DisplayDriver::CancelStartSequence() {
    Timer(DriverTimer::InitCommand).SetEnabled(false);
    Timer(DriverTimer::StartLineFeed).SetEnabled(false);
}

bool DisplayDriver::IsOn() const {
    return deviceLost_ ? displayWanted_ : line_ != nullptr && line_->Dtr();
}

void DisplayDriver::ApplyLine(std::optional<std::uint32_t> baudRate) {
    if (line_ == nullptr) {
        return;
    }
    platform::Timer& refresh = Timer(DriverTimer::Refresh);
    const auto interval = static_cast<std::uint32_t>(settings_.UpdateInterval);
    if (deviceLost_) {
        // The port opens with these settings once the device is back; the display then gets
        // the state ApplyDisplayState records.
        SetDisplayLine(*line_, settings_.ComPort, baudRate);
        refresh.SetInterval(interval);
        return;
    }
    OpenDisplayLine(*line_, settings_.ComPort, baudRate);
    refresh.SetInterval(interval);
    refresh.SetEnabled(true);
}

void DisplayDriver::ApplyDisplayState() {
    if (line_ == nullptr) {
        return;
    }
    const bool on = !settings_.DisplayOff;
    if (deviceLost_) {
        ReportOnOff(on);
        displayWanted_ = on;
        return;
    }
    engine_.SendDialogOkText();
    if (!on) {
        // The display keeps what it shows: no blank frame follows.
        LowerDisplay();
        ReportOnOff(false);
        return;
    }
    line_->SetDtr(true);
    ReportOnOff(true);
    engine_.SendInitCommand();
    Timer(DriverTimer::InitCommand).SetEnabled(true);
}

void DisplayDriver::StopDisplayTimers() {
    StopRefresh();
    CancelStartSequence();
    SetBannerPeriod(false);
}

} // namespace lum
