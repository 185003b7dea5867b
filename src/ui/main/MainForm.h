#pragma once
// TMainForm: the plug-in's small main window. It mirrors the player's title and playing
// position in two dark-blue fields, has buttons for the player, the display and the active text
// set, and owns the timers of the start-up and the mirror; the display driver keeps its timers
// on this window too.

#include "ui/UiContext.h"
#include "ui/main/Mirror.h"

#include <array>
#include <memory>

namespace lum {

/// The controls of the main window, in the order of its layout table.
enum class MainControl {
    Panel1,
    Label4,
    Label5,
    Label1,
    Label2,
    Panel2,
    Panel3,
    Panel4,
    Panel5,
    Panel6,
    Panel8,
    Panel15,
    Panel14,
    Panel9,
    Panel10,
    Panel11,
    Panel12,
    Panel7,
    Panel13,
    Count
};

/// The main window's own timers, in the order of its timer table.
enum class MainTimer { StartUp, Mirror, Count };

/// The main window.
class TMainForm {
public:
    /// Creates the window hidden, with the start-up and mirror timers running.
    explicit TMainForm(UiContext& context);
    ~TMainForm();
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    [[nodiscard]] platform::Form& Window() { return *form_; }
    [[nodiscard]] platform::Control& Control(MainControl control) {
        return *controls_[static_cast<std::size_t>(control)];
    }
    [[nodiscard]] platform::Timer& Timer(MainTimer timer) {
        return *timers_[static_cast<std::size_t>(timer)];
    }

    /// Shows the display's state on Panel7: "VFD off" on green while it is on, "VFD on" on
    /// grey while it is off.
    void ShowDisplayState(bool on);
    /// The mirror update: title and playing position of the player's current entry.
    void UpdateMirror();

    // Handlers, bound by the layout tables.
    void OnStartUpTick();
    void OnMirrorTick();
    void OnPreviousClick();
    void OnPlayClick();
    void OnPauseClick();
    void OnStopClick();
    void OnNextClick();
    void OnDisplayOnOffClick();
    void OnMinimiseClick();
    void OnBrightness1Click();
    void OnBrightness2Click();
    void OnBrightness3Click();
    void OnBrightness4Click();
    void OnConfigClick();
    void OnNextSetClick();
    void OnPreviousSetClick();

private:
    UiContext& context_;
    std::unique_ptr<platform::Form> form_;
    std::array<platform::Control*, static_cast<std::size_t>(MainControl::Count)> controls_{};
    std::array<platform::Timer*, static_cast<std::size_t>(MainTimer::Count)> timers_{};
    MirrorState mirror_;
};

} // namespace lum
