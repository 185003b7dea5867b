#include "ui/main/MainForm.h"

#include "display/PlayTime.h"
#include "display/TextReplace.h"
#include "driver/DisplayDriver.h"
#include "ui/FormLayout.h"

#include <algorithm>
#include <iterator>

namespace lum {

namespace {

using platform::ControlKind;
using platform::Font;
using platform::TextAlign;
using namespace ui::colors;
using namespace ui::rows;
using Row = ui::ControlRow<MainControl, TMainForm>;
using TimerRow = ui::TimerRow<MainTimer, TMainForm>;
using enum MainControl;

constexpr Font kVerdana{"Verdana", 11, kWhite};
constexpr Font kArial{"Arial", 11, kWhite};
constexpr Font kTitleFont{ui::kDisplayFontFace, 19, kAqua};
constexpr Font kTimeFont{ui::kDisplayFontFace, 21, kAqua};

// clang-format off
constexpr Row kControls[] = {
    // Key     Name       Kind                 Bounds               Caption    Font        Colour        Align              Parent  Click
    {Panel1,  "Panel1",  ControlKind::Panel, {0, 0, 349, 92},    "",        {},         kBlack},
    {Label4,  "Label4",  ControlKind::Label, {8, 8, 329, 33},    "",        {},         kDisplayBlue, TextAlign::Left,   Panel1},
    {Label5,  "Label5",  ControlKind::Label, {8, 48, 65, 33},    "",        {},         kDisplayBlue, TextAlign::Left,   Panel1},
    {Label1,  "Label1",  ControlKind::Label, {13, 18, 319, 17},  "Titel",   kTitleFont, kDisplayBlue, TextAlign::Left,   Panel1},
    {Label2,  "Label2",  ControlKind::Label, {16, 56, 49, 18},   "00:00",   kTimeFont,  kDisplayBlue, TextAlign::Center, Panel1},
    {Panel2,  "Panel2",  kButton,            {82, 48, 39, 17},   "<<",      kVerdana,   0x5D5D88,     TextAlign::Center, Panel1, &TMainForm::OnPreviousClick},
    {Panel3,  "Panel3",  kButton,            {122, 48, 39, 17},  "Play",    kVerdana,   0x5D5D99,     TextAlign::Center, Panel1, &TMainForm::OnPlayClick},
    {Panel4,  "Panel4",  kButton,            {162, 48, 39, 17},  "II",      kVerdana,   0x5D5D5D,     TextAlign::Center, Panel1, &TMainForm::OnPauseClick},
    {Panel5,  "Panel5",  kButton,            {202, 48, 39, 17},  "Stop",    kVerdana,   0x995D5D,     TextAlign::Center, Panel1, &TMainForm::OnStopClick},
    {Panel6,  "Panel6",  kButton,            {242, 48, 39, 17},  ">>",      kVerdana,   0x885D5D,     TextAlign::Center, Panel1, &TMainForm::OnNextClick},
    {Panel8,  "Panel8",  kButton,            {282, 48, 23, 17},  "_",       kArial,     0x2D2D2D,     TextAlign::Center, Panel1, &TMainForm::OnMinimiseClick},
    {Panel15, "Panel15", kButton,            {306, 48, 17, 17},  "-",       kArial,     0x2D2D2D,     TextAlign::Center, Panel1, &TMainForm::OnPreviousSetClick},
    {Panel14, "Panel14", kButton,            {324, 48, 17, 17},  "+",       kArial,     0x2D2D2D,     TextAlign::Center, Panel1, &TMainForm::OnNextSetClick},
    {Panel9,  "Panel9",  kButton,            {82, 66, 39, 17},   "Hell 1",  kVerdana,   0x5D775D,     TextAlign::Center, Panel1, &TMainForm::OnBrightness1Click},
    {Panel10, "Panel10", kButton,            {122, 66, 39, 17},  "Hell 2",  kVerdana,   0x5D7A5D,     TextAlign::Center, Panel1, &TMainForm::OnBrightness2Click},
    {Panel11, "Panel11", kButton,            {162, 66, 39, 17},  "Hell 3",  kVerdana,   0x5D885D,     TextAlign::Center, Panel1, &TMainForm::OnBrightness3Click},
    {Panel12, "Panel12", kButton,            {202, 66, 39, 17},  "Hell 4",  kVerdana,   0x5D995D,     TextAlign::Center, Panel1, &TMainForm::OnBrightness4Click},
    {Panel7,  "Panel7",  kButton,            {242, 66, 57, 17},  "VFD off", kVerdana,   0x5DAA5D,     TextAlign::Center, Panel1, &TMainForm::OnDisplayOnOffClick},
    {Panel13, "Panel13", kButton,            {300, 66, 41, 17},  "Config",  kArial,     0x2D2D2D,     TextAlign::Center, Panel1, &TMainForm::OnConfigClick},
};

constexpr TimerRow kTimers[] = {
    // Key               Name      Interval Running  Tick
    {MainTimer::StartUp, "Timer2", 5,       true,    &TMainForm::OnStartUpTick},
    {MainTimer::Mirror,  "Timer3", 300,     true,    &TMainForm::OnMirrorTick},
};
// clang-format on
static_assert(std::size(kControls) == static_cast<std::size_t>(MainControl::Count));
static_assert(ui::RowsInIdOrder(kControls));
static_assert(std::size(kTimers) == static_cast<std::size_t>(MainTimer::Count));
static_assert(ui::RowsInIdOrder(kTimers));

// clang-format off
constexpr platform::FormArgs kWindow = {
    // Name      Caption              Style                        Bounds               Outer  Centred TopMost Colour  Font
    "MainForm", "Winamp Lum Plugin", platform::FormStyle::Dialog, {287, 125, 349, 92}, false, false,  false,  kBlack, {"Verdana", 11, kSilver}};
// clang-format on

/// Panel7 while the display is on, and while it is off.
constexpr std::string_view kDisplayOnCaption = "VFD off";
constexpr platform::Rgb kDisplayOnColor = 0x5DAA5D;
constexpr std::string_view kDisplayOffCaption = "VFD on";
constexpr platform::Rgb kDisplayOffColor = 0x5D5D5D;

/// The highest value of the dialog's "Jetzt Aktiv:" field: one past the last set.
constexpr std::int32_t kActiveSetFieldMax = kTextSetCount + 1;

} // namespace

TMainForm::TMainForm(UiContext& context) : context_(context) {
    form_ = context_.Ui.CreateForm(kWindow);
    ui::CreateControls(*form_, kControls, *this, controls_);
    ui::KeepOpenOnAltF4(*form_);
    ui::CreateTimers(*form_, kTimers, *this, timers_);
}

TMainForm::~TMainForm() = default;

void TMainForm::ShowDisplayState(bool on) {
    platform::Control& button = Control(Panel7);
    button.SetText(on ? kDisplayOnCaption : kDisplayOffCaption);
    button.SetColor(on ? kDisplayOnColor : kDisplayOffColor);
}

void TMainForm::OnStartUpTick() {
    context_.Frame.StartUpTick();
}

void TMainForm::OnMirrorTick() {
    UpdateMirror();
}

void TMainForm::UpdateMirror() {
    NowPlaying& player = context_.Player;
    std::string title = player.EntryTitle(player.ListPosition());
    ReplaceUmlauts(title);
    Control(Label2).SetText(FormatPlayTime(player.PositionMs()));
    Control(Label1).SetText(MirrorTitleStep(title, context_.Values.Separator, mirror_));
}

void TMainForm::OnPreviousClick() {
    context_.Transport.Send(TransportCommand::Previous);
}

void TMainForm::OnPlayClick() {
    context_.Transport.Send(TransportCommand::Play);
}

void TMainForm::OnPauseClick() {
    context_.Transport.Send(TransportCommand::Pause);
}

void TMainForm::OnStopClick() {
    context_.Transport.Send(TransportCommand::Stop);
}

void TMainForm::OnNextClick() {
    context_.Transport.Send(TransportCommand::Next);
}

void TMainForm::OnDisplayOnOffClick() {
    DisplayDriver& display = *context_.Display;
    if (display.IsReleased()) {
        return;
    }
    if (display.IsOn()) {
        display.SwitchOff();
    } else {
        display.SwitchOn();
    }
}

void TMainForm::OnMinimiseClick() {
    form_->SetMinimized(true);
}

void TMainForm::OnBrightness1Click() {
    context_.Display->Brightness(1);
}

void TMainForm::OnBrightness2Click() {
    context_.Display->Brightness(2);
}

void TMainForm::OnBrightness3Click() {
    context_.Display->Brightness(3);
}

void TMainForm::OnBrightness4Click() {
    context_.Display->Brightness(4);
}

void TMainForm::OnConfigClick() {
    context_.Frame.ShowConfigDialog();
}

void TMainForm::OnNextSetClick() {
    std::int32_t& active = context_.Display->Shown().ActiveSet;
    active = std::min(std::clamp(active + 1, 1, kActiveSetFieldMax), context_.Values.SetCount);
    context_.Frame.ActiveSetChanged();
}

void TMainForm::OnPreviousSetClick() {
    std::int32_t& active = context_.Display->Shown().ActiveSet;
    active = std::clamp(active - 1, 1, kActiveSetFieldMax);
    context_.Frame.ActiveSetChanged();
}

} // namespace lum
