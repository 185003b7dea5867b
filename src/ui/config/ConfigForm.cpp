#include "ui/config/ConfigForm.h"

#include "common/Decimal.h"
#include "driver/DisplayDriver.h"
#include "driver/SettingsApply.h"
#include "settings/SettingsFile.h"
#include "ui/Addresses.h"
#include "ui/FormLayout.h"
#include "ui/Pictures.h"
#include "ui/about/AboutBox.h"
#include "ui/variables/VariablesWindow.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>

namespace lum {

namespace {

using platform::ControlKind;
using platform::Font;
using platform::kHighlightText;
using namespace ui::colors;
using namespace ui::rows;
using Row = ui::ControlRow<ConfigControl, Tconfigform>;
using TimerRow = ui::TimerRow<ConfigTimer, Tconfigform>;
using enum ConfigControl;

/// The rates the "Baudrate" box offers, as its entries.
constexpr std::string_view kBaudRateTexts[] = {"2400", "4800", "9600", "14400", "19200"};
/// The entries of the scroll-mode boxes: "Aus" (off), "Links" (left), "Rechts" (right).
constexpr std::string_view kScrollModeTexts[] = {"Aus", "Links", "Rechts"};

constexpr Font kCaptionFont{"Arial", 16, kHighlightText};
constexpr Font kSetCaptionFont{"MS Sans Serif", 13, kWhite};
constexpr Font kCountFont{"MS Sans Serif", 11, kAqua};
constexpr Font kPreviewFont{ui::kDisplayFontFace, 15, kAqua};
constexpr Font kStateFont{"MS Sans Serif", 11, kWhite};
/// Size of a check box without caption.
constexpr int kCheckSize = 17;

// clang-format off
constexpr Row kControls[] = {
    // Key            Name               Kind                     Bounds                  Caption                     Font             Colour        Align   Parent           Click                         Change  Min Max Hand
    {Panel2,          "Panel2",          kButton,                 {10, 322, 47, 23},      "OK",                       ui::kPanelButtonFont,     kButtonGrey,  kCenter, {},             &Tconfigform::OnOkClick},
    {Image1,          "Image1",          ControlKind::Image,      {64, 312, 417, 33},     "",                         {},              kBlack,       kLeft,   {},             &Tconfigform::OnBannerClick,    nullptr, 0, 0, true},
    {Panel3,          "Panel3",          kButton,                 {496, 322, 57, 23},     "Info",                     ui::kPanelButtonFont,     kButtonGrey,  kCenter, {},             &Tconfigform::OnInfoClick},
    {Panel1,          "Panel1",          kButton,                 {562, 322, 95, 23},     "Abbrechen",                ui::kPanelButtonFont,     kButtonGrey,  kCenter, {},             &Tconfigform::OnCancelClick},
    {PageControl1,    "PageControl1",    ControlKind::PageControl, {8, 8, 649, 297},      ""},
    {TabSheet1,       "TabSheet1",       ControlKind::TabPage,    {},                     "Display Konfiguration",    {},              kBlack,       kLeft,   PageControl1},
    {TabSheet2,       "TabSheet2",       ControlKind::TabPage,    {},                     "Text Konfiguration",       {},              kBlack,       kLeft,   PageControl1},
    {Label1,          "Label1",          kLabel,                  {8, 8, kAuto, kAuto},   "Com Port",                 kCaptionFont,    {},           kLeft,   TabSheet1},
    {SpinEdit1,       "SpinEdit1",       kSpin,                   {184, 8, 49, 22},       "1",                        {},              {},           kLeft,   TabSheet1,      nullptr, nullptr, 1, 9},
    {Label2,          "Label2",          kLabel,                  {8, 40, kAuto, kAuto},  "Anzahl der Zeichen",       kCaptionFont,    {},           kLeft,   TabSheet1},
    {SpinEdit2,       "SpinEdit2",       kSpin,                   {184, 40, 49, 22},      "20",                       {},              {},           kLeft,   TabSheet1,      nullptr, nullptr, 8, 80},
    {Label3,          "Label3",          kLabel,                  {8, 72, kAuto, kAuto},  "Anzahl der Zeilen",        kCaptionFont,    {},           kLeft,   TabSheet1},
    {SpinEdit4,       "SpinEdit4",       kSpin,                   {184, 72, 49, 22},      "2",                        {},              {},           kLeft,   TabSheet1,      nullptr, nullptr, 1, 8},
    {Label4,          "Label4",          kLabel,                  {6, 104, kAuto, kAuto}, "Aktualisierungsinterval",  kCaptionFont,    {},           kLeft,   TabSheet1},
    {SpinEdit3,       "SpinEdit3",       kSpin,                   {184, 104, 49, 22},     "300",                      {},              {},           kLeft,   TabSheet1,      nullptr, nullptr, 1, 999},
    {Label5,          "Label5",          kLabel,                  {6, 136, kAuto, kAuto}, "Trennzeichen",             kCaptionFont,    {},           kLeft,   TabSheet1},
    {Edit1,           "Edit1",           kEdit,                   {168, 136, 65, 21},     " ** ",                     {},              {},           kLeft,   TabSheet1},
    {Label6,          "Label6",          kLabel,                  {45, 168, kAuto, kAuto}, "Hauptfenster minimiert",  kCaptionFont,    {},           kLeft,   TabSheet1},
    {CheckBox3,       "CheckBox3",       kCheck,                  {16, 168, kCheckSize, kCheckSize}, "",              {},              {},           kLeft,   TabSheet1},
    {Label7,          "Label7",          kLabel,                  {45, 192, kAuto, kAuto}, "Zeige Hauptfenster",      kCaptionFont,    {},           kLeft,   TabSheet1},
    {CheckBox1,       "CheckBox1",       kCheck,                  {16, 192, kCheckSize, kCheckSize}, "",              {},              {},           kLeft,   TabSheet1},
    {Label8,          "Label8",          kLabel,                  {45, 216, kAuto, kAuto}, "VFD abgeschaltet",        kCaptionFont,    {},           kLeft,   TabSheet1},
    {CheckBox2,       "CheckBox2",       kCheck,                  {16, 216, kCheckSize, kCheckSize}, "",              {},              {},           kLeft,   TabSheet1},
    {Label9,          "Label9",          kLabel,                  {45, 240, kAuto, kAuto}, "Umlaute ersetzen",        kCaptionFont,    {},           kLeft,   TabSheet1},
    {CheckBox6,       "CheckBox6",       kCheck,                  {16, 240, kCheckSize, kCheckSize}, "",              {},              {},           kLeft,   TabSheet1},
    {Label10,         "Label10",         kLabel,                  {278, 8, kAuto, kAuto}, "Baudrate",                 kCaptionFont,    {},           kLeft,   TabSheet1},
    {Baudrate,        "Baudrate",        ControlKind::ComboBox,   {440, 8, 57, 21},       "9600",                     {},              {},           kLeft,   TabSheet1,      nullptr, nullptr, 0, 0, false, kBaudRateTexts},
    {Label20,         "Label20",         kLabel,                  {278, 40, kAuto, kAuto}, "Initialisierungsbefehl",  kCaptionFont,    {},           kLeft,   TabSheet1},
    {Edit10,          "Edit10",          kEdit,                   {440, 40, 57, 21},      "20",                       {},              {},           kLeft,   TabSheet1},
    {Label21,         "Label21",         kLabel,                  {310, 72, kAuto, kAuto}, "Wagenr\xFC" "cklauf senden", kCaptionFont, {},           kLeft,   TabSheet1},
    {CheckBox4,       "CheckBox4",       kCheck,                  {280, 72, kCheckSize, kCheckSize}, "",              {},              {},           kLeft,   TabSheet1},
    {Label22,         "Label22",         kLabel,                  {310, 104, kAuto, kAuto}, "Siemens BA63 Mode",      kCaptionFont,    {},           kLeft,   TabSheet1},
    {Label23,         "Label23",         kLabel,                  {310, 120, kAuto, kAuto}, "(Spezial, 2-Zeilig)",    kCaptionFont,    {},           kLeft,   TabSheet1},
    {CheckBox5,       "CheckBox5",       kCheck,                  {280, 104, kCheckSize, kCheckSize}, "",             {},              {},           kLeft,   TabSheet1},
    {Image2,          "Image2",          ControlKind::Image,      {350, 112, 321, 161},   "",                         {},              kBlack,       kLeft,   TabSheet1},
    {TabbedNotebook1, "TabbedNotebook1", ControlKind::PageControl, {8, 8, 321, 233},      "",                         {},              {},           kLeft,   TabSheet2},
    {SetPage1,        "SetPage1",        ControlKind::TabPage,    {},                     "Set 1",                    {},              kBlack,       kLeft,   TabbedNotebook1},
    {SetPage2,        "SetPage2",        ControlKind::TabPage,    {},                     "Set 2",                    {},              kBlack,       kLeft,   TabbedNotebook1},
    {SetPage3,        "SetPage3",        ControlKind::TabPage,    {},                     "Set 3",                    {},              kBlack,       kLeft,   TabbedNotebook1},
    {SetPage4,        "SetPage4",        ControlKind::TabPage,    {},                     "Set 4",                    {},              kBlack,       kLeft,   TabbedNotebook1},
    {Label24,         "Label24",         kLabel,                  {344, 13, kAuto, kAuto}, "Set Anzahl:",             kSetCaptionFont, {},           kLeft,   TabSheet2},
    {SpinEdit6,       "SpinEdit6",       kSpin,                   {416, 8, 41, 22},       "1",                        {},              {},           kLeft,   TabSheet2,      nullptr, nullptr, 1, 4},
    {Label25,         "Label25",         kLabel,                  {512, 13, kAuto, kAuto}, "Jetzt Aktiv:",            kSetCaptionFont, {},           kLeft,   TabSheet2},
    {SpinEdit7,       "SpinEdit7",       kSpin,                   {584, 8, 41, 22},       "1",                        {},              {},           kLeft,   TabSheet2,      nullptr, &Tconfigform::OnActiveSetEdited, 1, 5},
    {Label12,         "Label12",         kLabel,                  {336, 40, 15, 25},      "0",                        kCountFont,      kDisplayBlue, kRight,  TabSheet2},
    {Panel4,          "Panel4",          ControlKind::Panel,      {352, 40, 281, 23},     "",                         kPreviewFont,    kDisplayBlue, kLeft,   TabSheet2},
    {Label13,         "Label13",         kLabel,                  {336, 64, 15, 25},      "0",                        kCountFont,      kDisplayBlue, kRight,  TabSheet2},
    {Panel5,          "Panel5",          ControlKind::Panel,      {352, 64, 281, 23},     "",                         kPreviewFont,    kDisplayBlue, kLeft,   TabSheet2},
    {Label14,         "Label14",         kLabel,                  {336, 88, 15, 25},      "0",                        kCountFont,      kDisplayBlue, kRight,  TabSheet2},
    {Panel6,          "Panel6",          ControlKind::Panel,      {352, 88, 281, 23},     "",                         kPreviewFont,    kDisplayBlue, kLeft,   TabSheet2},
    {Label15,         "Label15",         kLabel,                  {336, 112, 15, 25},     "0",                        kCountFont,      kDisplayBlue, kRight,  TabSheet2},
    {Panel7,          "Panel7",          ControlKind::Panel,      {352, 112, 281, 23},    "",                         kPreviewFont,    kDisplayBlue, kLeft,   TabSheet2},
    {Label16,         "Label16",         kLabel,                  {336, 136, 15, 25},     "0",                        kCountFont,      kDisplayBlue, kRight,  TabSheet2},
    {Panel8,          "Panel8",          ControlKind::Panel,      {352, 136, 281, 23},    "",                         kPreviewFont,    kDisplayBlue, kLeft,   TabSheet2},
    {Label17,         "Label17",         kLabel,                  {336, 160, 15, 25},     "0",                        kCountFont,      kDisplayBlue, kRight,  TabSheet2},
    {Panel9,          "Panel9",          ControlKind::Panel,      {352, 160, 281, 23},    "",                         kPreviewFont,    kDisplayBlue, kLeft,   TabSheet2},
    {Label18,         "Label18",         kLabel,                  {336, 184, 15, 25},     "0",                        kCountFont,      kDisplayBlue, kRight,  TabSheet2},
    {Panel10,         "Panel10",         ControlKind::Panel,      {352, 184, 281, 23},    "",                         kPreviewFont,    kDisplayBlue, kLeft,   TabSheet2},
    {Label19,         "Label19",         kLabel,                  {336, 208, 15, 23},     "0",                        kCountFont,      kDisplayBlue, kRight,  TabSheet2},
    {Panel11,         "Panel11",         ControlKind::Panel,      {352, 208, 281, 23},    "",                         kPreviewFont,    kDisplayBlue, kLeft,   TabSheet2},
    {Button1,         "Button1",         ControlKind::Button,     {8, 248, 75, 17},       "Vorschau",                 {},              {},           kLeft,   TabSheet2,      &Tconfigform::OnPreviewToggleClick},
    {Label11,         "Label11",         kLabel,                  {88, 248, kAuto, kAuto}, "Aus",                     kStateFont,      kBlack,       kLeft,   TabSheet2},
    {Label26,         "Label26",         kLabel,                  {336, 237, kAuto, kAuto}, "Set alle ",              kSetCaptionFont, kBlack,       kLeft,   TabSheet2},
    {SpinEdit5,       "SpinEdit5",       kSpin,                   {384, 240, 41, 22},     "0",                        {},              {},           kLeft,   TabSheet2,      nullptr, nullptr, 0, 255},
    {Label27,         "Label27",         kLabel,                  {432, 237, kAuto, kAuto}, "Sekunden wechseln",      kSetCaptionFont, kBlack,       kLeft,   TabSheet2},
    {Label28,         "Label28",         kLabel,                  {432, 253, kAuto, kAuto}, "(0 = Kein Wechsel)",     kSetCaptionFont, kBlack,       kLeft,   TabSheet2},
    {Button2,         "Button2",         ControlKind::Button,     {568, 248, 67, 17},     "Variablen",                {},              {},           kLeft,   TabSheet2,      &Tconfigform::OnVariablesClick},
};
// clang-format on
static_assert(std::size(kControls) == static_cast<std::size_t>(ConfigControl::Count));
static_assert(ui::RowsInIdOrder(kControls));

// clang-format off
constexpr platform::FormArgs kWindow = {
    // Name        Caption          Style                        Bounds                Outer  Centred TopMost Colour  Font
    "configform", "Konfiguration", platform::FormStyle::Dialog, {211, 171, 666, 354}, false, false,  false,  kBlack, {"MS Sans Serif", 11, kBlack}};
// clang-format on

// The set rotation's timer ("Timer3") is the apply seam's, on this form after these two.
// clang-format off
constexpr TimerRow kTimers[] = {
    // Key                       Name      Interval Running Tick
    {ConfigTimer::CheckBoxSync, "Timer1", 10,      false,  &Tconfigform::OnCheckBoxSyncTick},
    {ConfigTimer::Preview,      "Timer2", 100,     false,  &Tconfigform::OnPreviewTick},
};
// clang-format on
static_assert(std::size(kTimers) == static_cast<std::size_t>(ConfigTimer::Count));
static_assert(ui::RowsInIdOrder(kTimers));

/// The preview's count labels and display fields of lines 1 to 8.
constexpr ConfigControl kCountLabels[] = {Label12, Label13, Label14, Label15,
                                          Label16, Label17, Label18, Label19};
constexpr ConfigControl kPreviewFields[] = {Panel4, Panel5, Panel6,  Panel7,
                                            Panel8, Panel9, Panel10, Panel11};
static_assert(std::size(kCountLabels) == kLinesPerSet && std::size(kPreviewFields) == kLinesPerSet);

/// The pages of TabbedNotebook1, set 1 to 4.
constexpr ConfigControl kSetPages[] = {SetPage1, SetPage2, SetPage3, SetPage4};
static_assert(std::size(kSetPages) == kTextSetCount);

/// The numbers in the names of set k's template fields start here; Edit10 is InitCommand.
constexpr int kFirstTemplateEdit[] = {2, 11, 19, 27};

/// The place of line `line` of set `set` in the per-line arrays.
std::size_t LineIndex(int set, int line) {
    return static_cast<std::size_t>((set - 1) * kLinesPerSet + (line - 1));
}

/// The value a spin edit's text stands for: a number clamped into the range; the minimum for
/// a text that is not a number.
std::int32_t SpinValue(const platform::Control& spin, std::int32_t min, std::int32_t max) {
    return std::clamp(ParseDecimal(spin.Text()).value_or(min), min, max);
}

/// The rate a "Baudrate" box's text names: one of its entries' rates, or none.
std::optional<std::uint32_t> BaudRateNamed(std::string_view text) {
    for (const std::int32_t rate : kBaudRates) {
        if (text == std::to_string(rate)) {
            return static_cast<std::uint32_t>(rate);
        }
    }
    return std::nullopt;
}

} // namespace

/// A control that is a scalar field of the Settings, and what follows a change of it.
struct ConfigFieldBinding {
    ConfigControl Key;
    std::int32_t Settings::*Integer = nullptr;
    std::string Settings::*Text = nullptr;
    bool Settings::*Flag = nullptr;
    void (Tconfigform::*AfterChange)() = nullptr;
};

namespace {

using Binding = ConfigFieldBinding;

// clang-format off
constexpr Binding kBindings[] = {
    // Key       Integer                        Text                    Flag                            After
    {SpinEdit1, &Settings::ComPort},
    {SpinEdit2, &Settings::LineWidth},
    {SpinEdit4, &Settings::LineCount},
    {SpinEdit3, &Settings::UpdateInterval},
    {Edit1,     nullptr,                        &Settings::Separator},
    {CheckBox3, nullptr,                        nullptr,                &Settings::MainWindowMinimized},
    {CheckBox1, nullptr,                        nullptr,                &Settings::ShowMainWindow},
    {CheckBox2, nullptr,                        nullptr,                &Settings::DisplayOff},
    {CheckBox6, nullptr,                        nullptr,                &Settings::ReplaceUmlauts},
    {Baudrate,  &Settings::BaudRateIndex},
    {Edit10,    nullptr,                        &Settings::InitCommand},
    {CheckBox4, nullptr,                        nullptr,                &Settings::SendCarriageReturn},
    {CheckBox5, nullptr,                        nullptr,                &Settings::Ba63Mode,            &Tconfigform::OnBa63ModeClick},
    {SpinEdit6, &Settings::SetCount},
    {SpinEdit5, &Settings::SetChangeSeconds,    nullptr,                nullptr,                        &Tconfigform::OnSetChangeSecondsChange},
};
// clang-format on
static_assert(std::size(kBindings) == 15);

const Row& RowOf(ConfigControl key) {
    return kControls[static_cast<std::size_t>(key)];
}

} // namespace

Tconfigform::Tconfigform(UiContext& context) : context_(context) {
    form_ = context_.Ui.CreateForm(kWindow);
    ui::CreateControls(*form_, kControls, *this, controls_);
    Control(Image1).SetPicture(ui::DialogBanner());
    Control(Image2).SetPicture(ui::DialogDecoration());
    CreateTextSetControls();
    for (const Binding& binding : kBindings) {
        platform::Control& control = Control(binding.Key);
        auto edited = [this, &binding] { FieldEdited(binding); };
        if (control.Kind() == ControlKind::CheckBox) {
            control.OnClick = edited;
        } else {
            control.OnChange = edited;
        }
    }
    ui::CreateTimers(*form_, kTimers, *this, timers_);
    form_->OnShow = [this] { OnShow(); };
    // No close box: only "OK" and "Abbrechen" close the dialog.
    ui::KeepOpenOnAltF4(*form_);
    ShowSettings();
}

Tconfigform::~Tconfigform() = default;

void Tconfigform::CreateTextSetControls() {
    Settings& settings = context_.Values;
    for (int set = 1; set <= kTextSetCount; ++set) {
        platform::Control* page = controls_[static_cast<std::size_t>(kSetPages[set - 1])];
        for (int line = 1; line <= kLinesPerSet; ++line) {
            const int top = 8 + 24 * (line - 1);
            const std::size_t at = LineIndex(set, line);
            const std::string editName =
                "Edit" + std::to_string(kFirstTemplateEdit[set - 1] + line - 1);
            const std::string boxName = "ComboBox" + std::to_string(static_cast<int>(at) + 1);

            platform::ControlArgs edit;
            edit.Name = editName;
            edit.Kind = ControlKind::Edit;
            edit.Bounds = {8, top, 233, 21};
            edit.Parent = page;
            platform::Control& templateEdit = form_->AddControl(edit);
            LineSlot& slot = settings.Slot(set, line);
            templateEdit.OnChange = [&templateEdit, &slot] { slot.Template = templateEdit.Text(); };
            templateEdits_[at] = &templateEdit;

            platform::ControlArgs box;
            box.Name = boxName;
            box.Kind = ControlKind::ComboBox;
            box.Bounds = {240, top, 65, 21};
            box.Caption = kScrollModeTexts[0];
            box.Items = kScrollModeTexts;
            box.Parent = page;
            platform::Control& modeBox = form_->AddControl(box);
            modeBox.OnChange = [&modeBox, &slot] { slot.ScrollMode = modeBox.ItemIndex(); };
            scrollModeBoxes_[at] = &modeBox;
        }
    }
}

platform::Control& Tconfigform::TemplateEdit(int set, int line) {
    return *templateEdits_[LineIndex(set, line)];
}

platform::Control& Tconfigform::ScrollModeBox(int set, int line) {
    return *scrollModeBoxes_[LineIndex(set, line)];
}

void Tconfigform::ShowField(const ConfigFieldBinding& binding) {
    const Settings& settings = context_.Values;
    platform::Control& control = Control(binding.Key);
    if (binding.Text != nullptr) {
        control.SetText(settings.*binding.Text);
    } else if (binding.Flag != nullptr) {
        control.SetChecked(settings.*binding.Flag);
    } else if (control.Kind() == ControlKind::ComboBox) {
        // No entry selected leaves the text the box shows.
        if (const std::int32_t index = settings.*binding.Integer; index >= 0) {
            control.SetItemIndex(index);
        }
    } else {
        control.SetText(std::to_string(settings.*binding.Integer));
    }
}

void Tconfigform::ShowSettings() {
    for (const Binding& binding : kBindings) {
        ShowField(binding);
    }
    Control(SpinEdit7).SetText(std::to_string(context_.Display->Shown().ActiveSet));
    const Settings& settings = context_.Values;
    for (int set = 1; set <= kTextSetCount; ++set) {
        for (int line = 1; line <= kLinesPerSet; ++line) {
            const LineSlot& slot = settings.Slot(set, line);
            TemplateEdit(set, line).SetText(slot.Template);
            if (slot.ScrollMode >= 0) {
                ScrollModeBox(set, line).SetItemIndex(slot.ScrollMode);
            }
        }
    }
}

void Tconfigform::FieldEdited(const ConfigFieldBinding& binding) {
    Settings& settings = context_.Values;
    const platform::Control& control = Control(binding.Key);
    if (binding.Text != nullptr) {
        settings.*binding.Text = control.Text();
    } else if (binding.Flag != nullptr) {
        settings.*binding.Flag = control.Checked();
    } else if (control.Kind() == ControlKind::ComboBox) {
        settings.*binding.Integer = control.ItemIndex();
    } else {
        const Row& row = RowOf(binding.Key);
        settings.*binding.Integer = SpinValue(control, row.Min, row.Max);
    }
    if (binding.AfterChange != nullptr) {
        (this->*binding.AfterChange)();
    }
}

void Tconfigform::SettingsLoaded() {
    ShowSettings();
    OnBa63ModeClick();
}

void Tconfigform::ActiveSetChanged() {
    Control(SpinEdit7).SetText(std::to_string(context_.Display->Shown().ActiveSet));
    OnActiveSetChange();
}

void Tconfigform::ShowDialog() {
    if (!shownBefore_) {
        shownBefore_ = true;
        Control(PageControl1).SetItemIndex(1);
        Control(TabbedNotebook1).SetItemIndex(0);
    }
    form_->Show();
}

void Tconfigform::OnShow() {
    Timer(ConfigTimer::CheckBoxSync).SetEnabled(true);
    OnBa63ModeClick();
}

void Tconfigform::OnBa63ModeClick() {
    const bool geometryEditable = !context_.Values.Ba63Mode;
    Control(SpinEdit2).SetEnabled(geometryEditable);
    Control(SpinEdit4).SetEnabled(geometryEditable);
}

void Tconfigform::OnSetChangeSecondsChange() {
    context_.Apply->FollowSetChangeSeconds();
}

void Tconfigform::OnActiveSetEdited() {
    const Row& row = RowOf(SpinEdit7);
    context_.Display->Shown().ActiveSet = SpinValue(Control(SpinEdit7), row.Min, row.Max);
    OnActiveSetChange();
}

void Tconfigform::OnActiveSetChange() {
    const std::int32_t& active = context_.Display->Shown().ActiveSet;
    const std::int32_t before = active;
    context_.Apply->KeepActiveSetShown();
    if (active != before) {
        Control(SpinEdit7).SetText(std::to_string(active));
    }
}

void Tconfigform::OnCheckBoxSyncTick() {
    Timer(ConfigTimer::CheckBoxSync).SetEnabled(false);
    Settings& settings = context_.Values;
    const platform::Form& mainWindow = *context_.MainWindow;
    settings.ShowMainWindow = mainWindow.Visible();
    settings.DisplayOff = !context_.Display->IsOn();
    settings.MainWindowMinimized = mainWindow.Minimized();
    for (const ConfigControl key : {CheckBox1, CheckBox2, CheckBox3}) {
        ShowField(*std::find_if(std::begin(kBindings), std::end(kBindings),
                                [key](const Binding& binding) { return binding.Key == key; }));
    }
}

void Tconfigform::OnPreviewToggleClick() {
    platform::Timer& preview = Timer(ConfigTimer::Preview);
    preview.SetEnabled(!preview.Enabled());
    Control(Label11).SetText(preview.Enabled() ? "Ein" : "Aus");
}

void Tconfigform::OnPreviewTick() {
    DisplayDriver& display = *context_.Display;
    for (int line = 1; line <= kLinesPerSet; ++line) {
        const PreviewLine preview = display.Preview(line);
        Control(kCountLabels[line - 1]).SetText(std::to_string(preview.Count));
        Control(kPreviewFields[line - 1]).SetText(preview.Window);
    }
}

void Tconfigform::OnVariablesClick() {
    context_.befehle->ShowWindow();
}

void Tconfigform::OnInfoClick() {
    context_.aboutw->ShowWindow();
}

void Tconfigform::OnBannerClick() {
    context_.Ui.OpenAddress(*form_, ui::kProductPage);
}

void Tconfigform::OnCancelClick() {
    form_->Hide();
}

void Tconfigform::OnOkClick() {
    const Settings& settings = context_.Values;
    SaveSettings(settings);
    Timer(ConfigTimer::Preview).SetEnabled(false);
    Control(Label11).SetText("Aus");
    form_->Hide();
    platform::Form& mainWindow = *context_.MainWindow;
    if (settings.ShowMainWindow) {
        mainWindow.Show();
    } else {
        mainWindow.Hide();
    }
    mainWindow.SetMinimized(settings.MainWindowMinimized);
    Timer(ConfigTimer::CheckBoxSync).SetEnabled(false);
    // The rate is the one the "Baudrate" box shows, typed or chosen; another text keeps it.
    context_.Apply->Apply(settings, ApplyOccasion::DialogOk,
                          BaudRateNamed(Control(Baudrate).Text()));
}

} // namespace lum
