#include "apps/lumd/SettingsApply.h"

#include "common/LumError.h"
#include "display/SetRotation.h"
#include "settings/SettingsFile.h"
#include "tools/common/EscapedText.h"
#include "tools/common/FileProblems.h"

#include <algorithm>
#include <iterator>

namespace lum::lumd {
namespace {

// The rotation timer as the dialog's "seconds" field sets it.
void SetRotationTimer(const Settings& live, platform::Timer& rotation) {
    const std::int32_t seconds = live.SetChangeSeconds;
    rotation.SetEnabled(seconds != 0);
    rotation.SetInterval(static_cast<std::uint32_t>(std::max(seconds, 0)) * 1000U);
}

} // namespace

std::variant<Settings, SettingsProblem> ReadSettingsFile(const std::string& path) {
    try {
        if (std::optional<Settings> asRead = LoadSettingsFile(path)) {
            return *std::move(asRead);
        }
        throw LumError(messages::kCannotOpenFile, path);
    } catch (const LumError& error) {
        return SettingsProblem{
            tools::EscapeText(path) + ": " +
            tools::ConsoleText(error.Format(), tools::EscapeText(error.Argument())) + " (" +
            tools::LoadFailureCause(path, error) + ")"};
    }
}

Settings StartValuesSwitchedOn() {
    Settings settings;
    settings.DisplayOff = false;
    return settings;
}

std::string BaudRateText(const Settings& settings) {
    const std::int32_t index = settings.BaudRateIndex;
    return std::to_string(index >= 0 && index < static_cast<std::int32_t>(std::size(kBaudRates))
                              ? kBaudRates[index]
                              : kDefaultBaudRate);
}

void ApplyAtStart(const Settings& asRead, Settings& live, DisplayDriver& driver,
                  platform::Timer& rotation) {
    StoreLoadedSettings(asRead, live);
    SetRotationTimer(live, rotation);
    driver.OpenLine(asRead.ComPort, BaudRateText(live), asRead.UpdateInterval);
    rotation.SetEnabled(asRead.SetChangeSeconds != 0);
    if (live.DisplayOff) {
        driver.SwitchOff();
    } else {
        driver.SwitchOn();
    }
}

void ApplyReread(const Settings& asRead, Settings& live, DisplayDriver& driver,
                 platform::Timer& rotation) {
    StoreLoadedSettings(asRead, live);
    SetRotationTimer(live, rotation);
    KeepActiveSetShown(live, rotation.Enabled());
    driver.ApplyLine(BaudRateText(live));
    driver.ApplyDisplayState();
}

void RotationStep(Settings& live, const platform::Timer& rotation) {
    RotateSet(live);
    KeepActiveSetShown(live, rotation.Enabled());
}

} // namespace lum::lumd
