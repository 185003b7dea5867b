#include "driver/SettingsApply.h"

#include "display/SetRotation.h"
#include "settings/SettingsFile.h"

#include <algorithm>

namespace lum {

SettingsApply::SettingsApply(DriverHost& host, DisplayDriver& driver, Settings& live)
    : driver_(driver), live_(live), rotation_(host.Timer(DriverTimer::Rotation)) {
    rotation_.OnTimer = [this] { OnRotationTick(); };
}

SettingsApply::~SettingsApply() {
    rotation_.SetEnabled(false);
    rotation_.OnTimer = nullptr;
}

void SettingsApply::Apply(const Settings& asRead, ApplyOccasion how,
                          std::optional<std::uint32_t> baudRate) {
    if (how != ApplyOccasion::DialogOk) {
        StoreLoadedSettings(asRead, live_);
        FollowSetChangeSeconds();
    }
    if (how == ApplyOccasion::StartUp) {
        // The port, the refresh interval and whether the rotation runs as read, not as stored.
        driver_.OpenLine(asRead.ComPort, baudRate, asRead.UpdateInterval);
        rotation_.SetEnabled(asRead.SetChangeSeconds != 0);
        if (live_.DisplayOff) {
            driver_.SwitchOff();
        } else {
            driver_.SwitchOn();
        }
        return;
    }
    if (how == ApplyOccasion::Reread) {
        KeepActiveSetShown();
    }
    driver_.ApplyLine(baudRate);
    driver_.ApplyDisplayState();
}

void SettingsApply::FollowSetChangeSeconds() {
    const std::int32_t seconds = live_.SetChangeSeconds;
    rotation_.SetEnabled(seconds != 0);
    rotation_.SetInterval(static_cast<std::uint32_t>(std::max(seconds, 0)) * 1000U);
}

void SettingsApply::KeepActiveSetShown() {
    lum::KeepActiveSetShown(driver_.Shown(), RotationRunning());
}

void SettingsApply::OnRotationTick() {
    RotateSet(live_, driver_.Shown());
    if (OnSetRotated) {
        OnSetRotated();
    }
}

} // namespace lum
