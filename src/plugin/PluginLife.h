#pragma once
// The plug-in's life in the host: loaded at the export's first call (all windows created, the
// splash and the main window shown), running on the main window's timers, quit (the display
// cleared and the serial port released) and unloaded (every window, timer and window class
// destroyed, so that the library can be loaded again).

#include "plugin/PluginEnvironment.h"
#include "plugin/SerialDisplayPort.h"
#include "settings/Settings.h"
#include "ui/UiContext.h"

#include <cstdint>
#include <memory>

namespace lum {
namespace serial {
class TSerialPortNG;
}

/// The loaded plug-in: its windows and the frame's work on the main window's timers.
class PluginLife final : public PluginFrame {
public:
    /// Creates the windows in their order: splash (shown), main window (hidden), about box,
    /// dialog and variables window (hidden); then shows the main window. `ownUi`, if given, is
    /// `ui` and goes with the plug-in.
    PluginLife(platform::Ui& ui, platform::Comm& comm, std::unique_ptr<platform::Ui> ownUi);
    ~PluginLife() override;
    PluginLife(const PluginLife&) = delete;
    PluginLife& operator=(const PluginLife&) = delete;

    [[nodiscard]] UiContext& Context() { return context_; }

    void StartUpTick() override;
    void InitCommandTick() override;
    void StartLineFeedTick() override;
    void BannerEndTick() override;
    void StartDisplay() override;
    void SwitchDisplayOff() override;
    [[nodiscard]] bool DisplayIsOn() override;
    [[nodiscard]] bool DeviceIsGone() override { return deviceLost_; }
    void ReconnectTick() override;

    /// The host's config callback: shows the dialog without waiting for it.
    void Config();
    /// The host's quit callback: the display timers stop, the blank frame reaches the
    /// display, and the serial port component is destroyed.
    void Quit();

private:
    /// The font check after the start-up: a message when the display font is not installed.
    void CheckDisplayFont();
    /// The start-up with a settings file: the values as read applied to the port, the timers
    /// and the windows.
    void ApplyLoadedSettings(const Settings& asRead);
    /// Stops the display's timers: the start sequence, the refresh and the banner period.
    void StopDisplayTimers();
    /// A report of the serial component: a failed send or wait on a device that has gone
    /// starts bringing the display back.
    void SerialReport(serial::TSerialPortNG& port, std::uint32_t place, std::uint32_t code);

    std::unique_ptr<platform::Ui> ownUi_; ///< the system's, unless the environment gives one
    UiContext context_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TMainForm> mainForm_;
    std::unique_ptr<Taboutw> aboutw_;
    std::unique_ptr<Tconfigform> configform_;
    std::unique_ptr<Tbefehle> befehle_;
    std::unique_ptr<SerialDisplayPort> displayPort_;

    // Bringing the display back after its device went away (see Reconnect.cpp).
    bool deviceLost_ = false;    ///< the device has gone; the port is being opened again
    bool closePending_ = false;  ///< the port is still open on the vanished device
    bool displayWanted_ = false; ///< while the device is gone: the display's state to restore
    bool reopening_ = false;     ///< an attempt to open the port again is running
    bool reopenRefused_ = false; ///< that attempt opened something that is no serial line
};

/// The export's first call: loads the plug-in (creates its windows) unless it is loaded, and
/// fills in the record's callbacks. Never throws: a failure leaves the plug-in unloaded.
void LoadPlugin() noexcept;

/// The library's unload: destroys the plug-in's windows, timers and (if quit has not) its
/// serial port, and puts the plug-in's global state back to its start values.
void UnloadPlugin() noexcept;

/// The loaded plug-in, or null.
[[nodiscard]] PluginLife* LoadedPlugin();

} // namespace lum
