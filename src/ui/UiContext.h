#pragma once
// What the plug-in's five windows share: the windowing layer, the settings they show and edit,
// the display driver and the seam that applies the settings to it, the player they mirror and
// command, the plug-in frame's work they start, and the windows each of them opens.

#include "display/NowPlaying.h"
#include "platform/Ui.h"
#include "settings/Settings.h"

namespace lum {

class DisplayDriver;
class SettingsApply;
class Taboutw;
class Tbefehle;

/// The plug-in frame's work that the windows start.
class PluginFrame {
public:
    virtual ~PluginFrame() = default;

    /// The start-up (the main window's Timer2): loads and applies the settings.
    virtual void StartUpTick() = 0;
    /// Shows the configuration dialog without waiting for it.
    virtual void ShowConfigDialog() = 0;
    /// Something other than the dialog changed ActiveSet: the dialog shows it and keeps it in
    /// range.
    virtual void ActiveSetChanged() = 0;
};

/// The windows' surroundings; the pointers are set as the windows and the driver are created.
struct UiContext {
    platform::Ui& Ui;
    Settings& Values;           ///< the settings the windows show and edit
    NowPlaying& Player;         ///< the player the main window mirrors
    PlayerTransport& Transport; ///< where the main window's player buttons go
    PluginFrame& Frame;
    DisplayDriver* Display = nullptr;     ///< the display on its serial line
    SettingsApply* Apply = nullptr;       ///< applies the settings to it; the set rotation
    platform::Form* MainWindow = nullptr; ///< the main window, which the dialog shows and hides
    Taboutw* aboutw = nullptr;
    Tbefehle* befehle = nullptr;
};

} // namespace lum
