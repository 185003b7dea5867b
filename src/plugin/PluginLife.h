#pragma once
// The plug-in's life in the host: loaded at the export's first call (the settings, the player
// link, all windows and the display driver created, the splash and the main window shown),
// running on the main window's timers, quit (the display cleared and the serial port released)
// and unloaded (every window, timer and window class destroyed, so that the library can be
// loaded again).

#include "driver/DisplayDriver.h"
#include "driver/SettingsApply.h"
#include "host/HostPlayer.h"
#include "plugin/PluginDriverHost.h"
#include "plugin/PluginEnvironment.h"
#include "plugin/SerialComponentLine.h"
#include "serial/SerialNG.h"
#include "settings/Settings.h"
#include "ui/UiContext.h"

#include <memory>

namespace lum {

class TForm1;
class TMainForm;
class Taboutw;
class Tconfigform;
class Tbefehle;

/// The loaded plug-in: its settings, its link to the host player, its windows and its display.
class PluginLife final : public PluginFrame {
public:
    /// Creates the windows in their order: splash (shown), main window (hidden) with the display
    /// driver and its serial port, about box, dialog (hidden) with the settings' apply seam,
    /// variables window (hidden); then shows the main window. `ownUi`, if given, is `ui` and goes
    /// with the plug-in.
    PluginLife(platform::Ui& ui, platform::Comm& comm, std::unique_ptr<platform::Ui> ownUi);
    ~PluginLife() override;
    PluginLife(const PluginLife&) = delete;
    PluginLife& operator=(const PluginLife&) = delete;

    [[nodiscard]] platform::Ui& Ui() { return context_.Ui; }
    /// The plug-in's one Settings record.
    [[nodiscard]] Settings& Values() { return settings_; }
    [[nodiscard]] DisplayDriver& Display() { return *driver_; }
    /// The serial port component of the display's line; null once quit has released it.
    [[nodiscard]] serial::TSerialPortNG* SerialPort() {
        return driver_->IsReleased() ? nullptr : &line_->Component();
    }
    [[nodiscard]] TMainForm& MainWindow() { return *mainForm_; }
    [[nodiscard]] Tconfigform& Dialog() { return *configform_; }

    void StartUpTick() override;
    /// Also the host's config callback.
    void ShowConfigDialog() override;
    void ActiveSetChanged() override;

    /// The host's quit callback: the display timers stop, the blank frame reaches the
    /// display, and the serial port component is destroyed.
    void Quit();

private:
    /// The font check after the start-up: a message when the display font is not installed.
    void CheckDisplayFont();
    /// The start-up with a settings file: the values as read applied to the display, then
    /// shown in the dialog and the windows.
    void ApplyLoadedSettings(const Settings& asRead);

    std::unique_ptr<platform::Ui> ownUi_; ///< the system's, unless the environment gives one
    Settings settings_;
    HostPlayer player_;
    UiContext context_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TMainForm> mainForm_;
    std::unique_ptr<PluginDriverHost> driverHost_;
    SerialComponentLine* line_ = nullptr; ///< the driver's line, until quit releases it
    std::unique_ptr<DisplayDriver> driver_;
    std::unique_ptr<Taboutw> aboutw_;
    std::unique_ptr<Tconfigform> configform_;
    std::unique_ptr<SettingsApply> apply_;
    std::unique_ptr<Tbefehle> befehle_;
};

/// The export's first call: loads the plug-in (creates its windows) unless it is loaded, and
/// fills in the record's callbacks. Never throws: a failure leaves the plug-in unloaded.
void LoadPlugin() noexcept;

/// The library's unload: destroys the plug-in's windows, timers and (if quit has not) its
/// serial port, and puts the plug-in record back to its start values.
void UnloadPlugin() noexcept;

/// The loaded plug-in, or null.
[[nodiscard]] PluginLife* LoadedPlugin();

} // namespace lum
