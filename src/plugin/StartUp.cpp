// The start-up tick: 5 ms after load, the settings file is loaded and applied, or the first
// run opens the dialog; then the display font is checked.
#include "common/LumError.h"
#include "plugin/PluginLife.h"
#include "settings/SettingsFile.h"
#include "ui/FormLayout.h"
#include "ui/SerialSetup.h"
#include "ui/config/ConfigForm.h"
#include "ui/main/MainForm.h"

#include <algorithm>

namespace lum {

void PluginLife::StartUpTick() {
    mainForm_->Timer(MainTimer::Timer2).SetEnabled(false);
    // A load error ends the tick here: nothing is applied and no font check follows.
    if (const std::optional<Settings> asRead = LoadSettings()) {
        ApplyLoadedSettings(*asRead);
    } else {
        context_.Ui.ShowMessage(messages::kFirstRun, platform::MessageKind::Information);
        configform_->ShowDialog();
    }
    CheckDisplayFont();
}

void PluginLife::ApplyLoadedSettings(const Settings& asRead) {
    StoreLoadedSettings(asRead, GlobalSettings());
    configform_->SettingsLoaded();

    serial::TSerialPortNG& port = *mainForm_->SerialPortNG1();
    // The rate is the one the "Baudrate" box shows: its entry, or "9600" with none selected.
    ui::OpenDisplayLine(port, asRead.ComPort, configform_->Control(ConfigControl::Baudrate).Text());
    mainForm_->Timer(MainTimer::Timer5)
        .SetInterval(static_cast<std::uint32_t>(asRead.UpdateInterval));
    configform_->Timer(ConfigTimer::Timer3).SetEnabled(asRead.SetChangeSeconds != 0);

    const Settings& settings = GlobalSettings();
    platform::Form& window = mainForm_->Window();
    if (settings.ShowMainWindow) {
        window.Show();
    } else {
        window.Hide();
    }
    if (settings.DisplayOff) {
        SwitchDisplayOff();
    } else {
        StartDisplay();
    }
    window.SetMinimized(settings.MainWindowMinimized);
}

void PluginLife::CheckDisplayFont() {
    const std::vector<std::string> families = context_.Ui.FontFamilies();
    if (std::find(families.begin(), families.end(), ui::kDisplayFontFace) == families.end()) {
        context_.Ui.ShowMessage(messages::kFontMissing, platform::MessageKind::Information);
    }
}

} // namespace lum
