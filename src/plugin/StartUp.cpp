// The start-up tick: 5 ms after load, the settings file is loaded and applied, or the first
// run opens the dialog; then the display font is checked.
#include "common/LumError.h"
#include "plugin/PluginLife.h"
#include "settings/SettingsFile.h"
#include "ui/FormLayout.h"
#include "ui/config/ConfigForm.h"
#include "ui/main/MainForm.h"

#include <algorithm>

namespace lum {

void PluginLife::StartUpTick() {
    mainForm_->Timer(MainTimer::StartUp).SetEnabled(false);
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
    // The rate is the one the "Baudrate" box shows for the values: its entry, or "9600" with
    // none selected.
    apply_->Apply(asRead, ApplyOccasion::StartUp, SelectedBaudRate(asRead));
    configform_->SettingsLoaded();
    platform::Form& window = mainForm_->Window();
    if (settings_.ShowMainWindow) {
        window.Show();
    } else {
        window.Hide();
    }
    window.SetMinimized(settings_.MainWindowMinimized);
}

void PluginLife::CheckDisplayFont() {
    const std::vector<std::string> families = context_.Ui.FontFamilies();
    if (std::find(families.begin(), families.end(), ui::kDisplayFontFace) == families.end()) {
        context_.Ui.ShowMessage(messages::kFontMissing, platform::MessageKind::Information);
    }
}

} // namespace lum
