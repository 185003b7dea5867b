#pragma once
// What the plug-in's five windows share: the windowing layer, the comm functions of the serial
// port, the plug-in frame whose work runs on the main window's timers, and the windows
// themselves, each reachable from the others.

#include "platform/Comm.h"
#include "platform/Ui.h"

namespace lum {

class TForm1;
class TMainForm;
class Taboutw;
class Tconfigform;
class Tbefehle;

/// The plug-in frame's work that the windows start: the start-up and the display's on and off
/// sequences, whose timers the main window owns.
class PluginFrame {
public:
    virtual ~PluginFrame() = default;

    /// The start-up (Timer2): loads and applies the settings.
    virtual void StartUpTick() = 0;
    /// Step 1 of the display start sequence (Timer4): the initialisation byte.
    virtual void InitCommandTick() = 0;
    /// Step 2 of the display start sequence (Timer6): CR LF, then refresh and banner.
    virtual void StartLineFeedTick() = 0;
    /// The end of the banner period (Timer7).
    virtual void BannerEndTick() = 0;
    /// The display start sequence.
    virtual void StartDisplay() = 0;
    /// The display switch-off.
    virtual void SwitchDisplayOff() = 0;
    /// Whether the display is switched on: DTR up, or while its device has gone, the state it
    /// will get back.
    [[nodiscard]] virtual bool DisplayIsOn() = 0;
    /// Whether the display's device has gone and the port is being opened again.
    [[nodiscard]] virtual bool DeviceIsGone() = 0;
    /// A step of bringing the display back after its device went away (ReconnectTimer).
    virtual void ReconnectTick() = 0;
};

/// The windows and what they share; the windows are set as they are created.
struct UiContext {
    platform::Ui& Ui;
    platform::Comm& Comm;
    PluginFrame& Frame;
    TForm1* Form1 = nullptr;
    TMainForm* MainForm = nullptr;
    Taboutw* aboutw = nullptr;
    Tconfigform* configform = nullptr;
    Tbefehle* befehle = nullptr;
};

} // namespace lum
