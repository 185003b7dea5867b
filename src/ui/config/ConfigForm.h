#pragma once
// Tconfigform: the configuration dialog. Its controls are the Settings' fields (and the active
// set the display shows): every edit takes effect at once, "OK" saves the settings file, sets the
// main window and has the apply seam apply the serial line, the refresh and the display's on/off
// state, "Abbrechen" only hides the dialog. Its "seconds" field sets the seam's set rotation,
// which runs whether the dialog is shown or not; it owns the preview.

#include "settings/Settings.h"
#include "ui/UiContext.h"

#include <array>
#include <memory>

namespace lum {

/// The controls of the dialog's layout table (the 4 x 8 text-set fields are made by formula).
enum class ConfigControl {
    Panel2,
    Image1,
    Panel3,
    Panel1,
    PageControl1,
    TabSheet1,
    TabSheet2,
    // "Display Konfiguration"
    Label1,
    SpinEdit1,
    Label2,
    SpinEdit2,
    Label3,
    SpinEdit4,
    Label4,
    SpinEdit3,
    Label5,
    Edit1,
    Label6,
    CheckBox3,
    Label7,
    CheckBox1,
    Label8,
    CheckBox2,
    Label9,
    CheckBox6,
    Label10,
    Baudrate,
    Label20,
    Edit10,
    Label21,
    CheckBox4,
    Label22,
    Label23,
    CheckBox5,
    Image2,
    // "Text Konfiguration"
    TabbedNotebook1,
    SetPage1,
    SetPage2,
    SetPage3,
    SetPage4,
    Label24,
    SpinEdit6,
    Label25,
    SpinEdit7,
    Label12,
    Panel4,
    Label13,
    Panel5,
    Label14,
    Panel6,
    Label15,
    Panel7,
    Label16,
    Panel8,
    Label17,
    Panel9,
    Label18,
    Panel10,
    Label19,
    Panel11,
    Button1,
    Label11,
    Label26,
    SpinEdit5,
    Label27,
    Label28,
    Button2,
    Count
};

struct ConfigFieldBinding;

/// The timers of the dialog.
enum class ConfigTimer {
    CheckBoxSync, ///< 10 ms after showing: the check boxes take the live state
    Preview,      ///< every 100 ms while "Vorschau" is on
    Count
};

/// The configuration dialog.
class Tconfigform {
public:
    /// Creates the dialog hidden, showing the Settings' start values.
    explicit Tconfigform(UiContext& context);
    ~Tconfigform();
    Tconfigform(const Tconfigform&) = delete;
    Tconfigform& operator=(const Tconfigform&) = delete;

    [[nodiscard]] platform::Form& Window() { return *form_; }
    [[nodiscard]] platform::Control& Control(ConfigControl control) {
        return *controls_[static_cast<std::size_t>(control)];
    }
    /// The template field and the scroll-mode combo box of line `line` (1-8) of set `set` (1-4).
    [[nodiscard]] platform::Control& TemplateEdit(int set, int line);
    [[nodiscard]] platform::Control& ScrollModeBox(int set, int line);
    [[nodiscard]] platform::Timer& Timer(ConfigTimer timer) {
        return *timers_[static_cast<std::size_t>(timer)];
    }

    /// Shows the dialog without waiting for it to close; a shown dialog comes forward. The
    /// first showing opens on "Text Konfiguration" and "Set 1".
    void ShowDialog();
    /// Shows the Settings just loaded and applied, with the side effect of storing them: the
    /// geometry fields follow Ba63Mode.
    void SettingsLoaded();
    /// Shows the ActiveSet that something else changed, then keeps it in range as a change in
    /// the field does.
    void ActiveSetChanged();

    // Handlers, bound by the layout tables.
    void OnShow();
    void OnCancelClick();
    void OnOkClick();
    void OnInfoClick();
    void OnBannerClick();
    void OnPreviewToggleClick();
    void OnVariablesClick();
    void OnBa63ModeClick();
    void OnSetChangeSecondsChange();
    /// "Jetzt Aktiv:" edited: the display shows that set.
    void OnActiveSetEdited();
    void OnActiveSetChange();
    void OnCheckBoxSyncTick();
    void OnPreviewTick();

private:
    /// Shows every field of the Settings in its control.
    void ShowSettings();
    /// Stores what the user entered in a bound control into its field.
    void FieldEdited(const ConfigFieldBinding& binding);
    void ShowField(const ConfigFieldBinding& binding);
    void CreateTextSetControls();

    UiContext& context_;
    std::unique_ptr<platform::Form> form_;
    std::array<platform::Control*, static_cast<std::size_t>(ConfigControl::Count)> controls_{};
    std::array<platform::Control*, kTextSetCount * kLinesPerSet> templateEdits_{};
    std::array<platform::Control*, kTextSetCount * kLinesPerSet> scrollModeBoxes_{};
    std::array<platform::Timer*, static_cast<std::size_t>(ConfigTimer::Count)> timers_{};
    bool shownBefore_ = false;
};

} // namespace lum
