// The display's on and off sequences: the start sequence (DTR up, the initialisation byte after
// 1000 ms, CR LF 250 ms later, then the refresh with a 4000 ms banner period), the switch-off,
// and the line and display state that the start-up and the dialog's "OK" apply.
#include "driver/DisplayDriver.h"
#include "driver/SerialSetup.h"

namespace lum {

void DisplayDriver::OpenLine(std::int32_t comPort, std::string_view baudRateText,
                             std::int32_t refreshInterval) {
    OpenDisplayLine(*line_, comPort, baudRateText);
    Timer(DriverTimer::Refresh).SetInterval(static_cast<std::uint32_t>(refreshInterval));
}

void DisplayDriver::SwitchOn() {
    if (line_ == nullptr) {
        return; // after quit nothing reaches the display any more
    }
    if (deviceLost_) {
        // Nothing can reach the display now: the sequence runs once its device is back.
        displayWanted_ = true;
        ShowState(true);
        return;
    }
    line_->SetDtr(true);
    ShowState(true);
    Timer(DriverTimer::InitCommand).SetEnabled(true);
}

void DisplayDriver::OnInitCommandTick() {
    Timer(DriverTimer::InitCommand).SetEnabled(false);
    // A text that is no number raises here: no CR LF and no refresh follow.
    engine_.SendInitCommand();
    if (!deviceLost_) { // a byte that found the device gone ends the sequence here
        Timer(DriverTimer::StartLineFeed).SetEnabled(true);
    }
}

void DisplayDriver::OnStartLineFeedTick() {
    Timer(DriverTimer::StartLineFeed).SetEnabled(false);
    engine_.SendStartLineFeed();
    if (!deviceLost_) {
        Timer(DriverTimer::Refresh).SetEnabled(true);
        SetBannerPeriod(true);
    }
}

void DisplayDriver::OnBannerEndTick() {
    SetBannerPeriod(false);
}

void DisplayDriver::SwitchOff() {
    if (line_ == nullptr) {
        return;
    }
    ShowState(false);
    if (deviceLost_) {
        displayWanted_ = false;
        return;
    }
    LowerDisplay();
    engine_.ClearDisplay();
}

void DisplayDriver::LowerDisplay() {
    line_->SetDtr(false);
    Timer(DriverTimer::Refresh).SetEnabled(false);
    CancelStartSequence();
}

void DisplayDriver::CancelStartSequence() {
    Timer(DriverTimer::InitCommand).SetEnabled(false);
    Timer(DriverTimer::StartLineFeed).SetEnabled(false);
}

bool DisplayDriver::IsOn() const {
    return deviceLost_ ? displayWanted_ : line_ != nullptr && line_->Dtr();
}

void DisplayDriver::ApplyLine(std::string_view baudRateText) {
    if (line_ == nullptr) {
        return;
    }
    platform::Timer& refresh = Timer(DriverTimer::Refresh);
    const auto interval = static_cast<std::uint32_t>(settings_.UpdateInterval);
    if (deviceLost_) {
        // The port opens with these settings once the device is back; the display then gets
        // the state ApplyDisplayState records.
        SetDisplayLine(*line_, settings_.ComPort, baudRateText);
        refresh.SetInterval(interval);
        return;
    }
    OpenDisplayLine(*line_, settings_.ComPort, baudRateText);
    refresh.SetInterval(interval);
    refresh.SetEnabled(true);
}

void DisplayDriver::ApplyDisplayState() {
    if (line_ == nullptr) {
        return;
    }
    const bool on = !settings_.DisplayOff;
    if (deviceLost_) {
        ShowState(on);
        displayWanted_ = on;
        return;
    }
    engine_.SendDialogOkText();
    if (!on) {
        // The display keeps what it shows: no blank frame follows.
        LowerDisplay();
        ShowState(false);
        return;
    }
    line_->SetDtr(true);
    ShowState(true);
    engine_.SendInitCommand();
    Timer(DriverTimer::InitCommand).SetEnabled(true);
}

void DisplayDriver::StopDisplayTimers() {
    Timer(DriverTimer::Refresh).SetEnabled(false);
    CancelStartSequence();
    SetBannerPeriod(false);
}

} // namespace lum
