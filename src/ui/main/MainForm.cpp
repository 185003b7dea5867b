#include "ui/main/MainForm.h"

#include "display/DisplayCommands.h"
#include "display/DisplayEngine.h"
#include "display/PlayTime.h"
#include "display/ScrollUpdate.h"
#include "display/TextReplace.h"
#include "plugin/HostInterface.h"
#include "settings/Settings.h"
#include "ui/FormLayout.h"
#include "ui/config/ConfigForm.h"

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
    {Panel2,  "Panel2",  kButton,            {82, 48, 39, 17},   "<<",      kVerdana,   0x5D5D88,     TextAlign::Center, Panel1, &TMainForm::Panel2Click},
    {Panel3,  "Panel3",  kButton,            {122, 48, 39, 17},  "Play",    kVerdana,   0x5D5D99,     TextAlign::Center, Panel1, &TMainForm::Panel3Click},
    {Panel4,  "Panel4",  kButton,            {162, 48, 39, 17},  "II",      kVerdana,   0x5D5D5D,     TextAlign::Center, Panel1, &TMainForm::Panel4Click},
    {Panel5,  "Panel5",  kButton,            {202, 48, 39, 17},  "Stop",    kVerdana,   0x995D5D,     TextAlign::Center, Panel1, &TMainForm::Panel5Click},
    {Panel6,  "Panel6",  kButton,            {242, 48, 39, 17},  ">>",      kVerdana,   0x885D5D,     TextAlign::Center, Panel1, &TMainForm::Panel6Click},
    {Panel8,  "Panel8",  kButton,            {282, 48, 23, 17},  "_",       kArial,     0x2D2D2D,     TextAlign::Center, Panel1, &TMainForm::Panel8Click},
    {Panel15, "Panel15", kButton,            {306, 48, 17, 17},  "-",       kArial,     0x2D2D2D,     TextAlign::Center, Panel1, &TMainForm::Panel15Click},
    {Panel14, "Panel14", kButton,            {324, 48, 17, 17},  "+",       kArial,     0x2D2D2D,     TextAlign::Center, Panel1, &TMainForm::Panel14Click},
    {Panel9,  "Panel9",  kButton,            {82, 66, 39, 17},   "Hell 1",  kVerdana,   0x5D775D,     TextAlign::Center, Panel1, &TMainForm::Panel9Click},
    {Panel10, "Panel10", kButton,            {122, 66, 39, 17},  "Hell 2",  kVerdana,   0x5D7A5D,     TextAlign::Center, Panel1, &TMainForm::Panel10Click},
    {Panel11, "Panel11", kButton,            {162, 66, 39, 17},  "Hell 3",  kVerdana,   0x5D885D,     TextAlign::Center, Panel1, &TMainForm::Panel11Click},
    {Panel12, "Panel12", kButton,            {202, 66, 39, 17},  "Hell 4",  kVerdana,   0x5D995D,     TextAlign::Center, Panel1, &TMainForm::Panel12Click},
    {Panel7,  "Panel7",  kButton,            {242, 66, 57, 17},  "VFD off", kVerdana,   0x5DAA5D,     TextAlign::Center, Panel1, &TMainForm::Panel7Click},
    {Panel13, "Panel13", kButton,            {300, 66, 41, 17},  "Config",  kArial,     0x2D2D2D,     TextAlign::Center, Panel1, &TMainForm::Panel13Click},
};

constexpr TimerRow kTimers[] = {
    // Key             Name      Interval Running  Tick
    {MainTimer::Timer2, "Timer2", 5,       true,    &TMainForm::Timer2Timer},
    {MainTimer::Timer3, "Timer3", 300,     true,    &TMainForm::Timer3Timer},
    {MainTimer::Timer4, "Timer4", 1000,    false,   &TMainForm::Timer4Timer},
    {MainTimer::Timer6, "Timer6", 250,     false,   &TMainForm::Timer6Timer},
    {MainTimer::Timer5, "Timer5", 300,     false,   &TMainForm::Timer5Timer},
    {MainTimer::Timer7, "Timer7", 4000,    false,   &TMainForm::Timer7Timer},
    // Opening the port again after its device went away; interval set as it runs.
    {MainTimer::Reconnect, "ReconnectTimer", 1000, false, &TMainForm::OnReconnectTick},
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
    form_->OnKeyDown = [this](std::uint16_t& key, platform::ShiftState shift) {
        FormKeyDown(key, shift);
    };
    SerialPortNG1_ =
        std::make_unique<serial::TSerialPortNG>(context_.Ui.UiThreadCalls(), context_.Comm);
    SerialPortNG1_->SetCommPort("COM1");
    SerialPortNG1_->SetBaudRate(9600);
    SerialPortNG1_->SetErrorNoise(255);
    ui::CreateTimers(*form_, kTimers, *this, timers_);
}

TMainForm::~TMainForm() {
    // The timers go with the window; the component (if quit has not destroyed it) after them.
    form_.reset();
    SerialPortNG1_.reset();
}

void TMainForm::DestroySerialPort() {
    SerialPortNG1_.reset();
}

void TMainForm::ShowDisplayState(bool on) {
    platform::Control& button = Control(Panel7);
    button.SetText(on ? kDisplayOnCaption : kDisplayOffCaption);
    button.SetColor(on ? kDisplayOnColor : kDisplayOffColor);
}

void TMainForm::SetBannerPeriod(bool running) {
    Timer(MainTimer::Timer7).SetEnabled(running);
    DisplayEngine().BannerPeriod = running;
}

void TMainForm::Timer2Timer() {
    context_.Frame.StartUpTick();
}

void TMainForm::Timer3Timer() {
    UpdateMirror();
}

void TMainForm::Timer4Timer() {
    context_.Frame.InitCommandTick();
}

void TMainForm::Timer5Timer() {
    lum::Timer5Timer();
}

void TMainForm::Timer6Timer() {
    context_.Frame.StartLineFeedTick();
}

void TMainForm::Timer7Timer() {
    context_.Frame.BannerEndTick();
}

void TMainForm::OnReconnectTick() {
    context_.Frame.ReconnectTick();
}

void TMainForm::UpdateMirror() {
    std::string title = QueryHostString(HOST_PLAYLIST_TITLE, QueryHost(HOST_LIST_POS, 0));
    ReplaceUmlauts(title);
    Control(Label2).SetText(FormatPlayTime(QueryHost(HOST_OUTPUT_TIME, 0)));
    Control(Label1).SetText(MirrorTitleStep(title, GlobalSettings().Separator, mirror_));
}

void TMainForm::Panel2Click() {
    SendHostCommand(HOST_CMD_PREVIOUS);
}

void TMainForm::Panel3Click() {
    SendHostCommand(HOST_CMD_PLAY);
}

void TMainForm::Panel4Click() {
    SendHostCommand(HOST_CMD_PAUSE);
}

void TMainForm::Panel5Click() {
    SendHostCommand(HOST_CMD_STOP);
}

void TMainForm::Panel6Click() {
    SendHostCommand(HOST_CMD_NEXT);
}

void TMainForm::Panel7Click() {
    if (SerialPortNG1_ == nullptr) {
        return;
    }
    if (context_.Frame.DisplayIsOn()) {
        context_.Frame.SwitchDisplayOff();
    } else {
        context_.Frame.StartDisplay();
    }
}

void TMainForm::Panel8Click() {
    form_->SetMinimized(true);
}

void TMainForm::Panel9Click() {
    SendBrightness(1);
}

void TMainForm::Panel10Click() {
    SendBrightness(2);
}

void TMainForm::Panel11Click() {
    SendBrightness(3);
}

void TMainForm::Panel12Click() {
    SendBrightness(4);
}

void TMainForm::Panel13Click() {
    context_.configform->ShowDialog();
}

void TMainForm::Panel14Click() {
    Settings& settings = GlobalSettings();
    settings.ActiveSet =
        std::min(std::clamp(settings.ActiveSet + 1, 1, kActiveSetFieldMax), settings.SetCount);
    context_.configform->ActiveSetChanged();
}

void TMainForm::Panel15Click() {
    Settings& settings = GlobalSettings();
    settings.ActiveSet = std::clamp(settings.ActiveSet - 1, 1, kActiveSetFieldMax);
    context_.configform->ActiveSetChanged();
}

void TMainForm::FormKeyDown(std::uint16_t& key, platform::ShiftState shift) {
    if (key == platform::kKeyF4 && shift.Alt) {
        key = platform::kKeyNone;
    }
}

} // namespace lum
