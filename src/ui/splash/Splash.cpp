#include "ui/splash/Splash.h"

#include "driver/DisplayDriver.h"
#include "ui/FormLayout.h"
#include "ui/Pictures.h"

#include <iterator>

namespace lum {

namespace {

enum class SplashTimer { Hide };

// clang-format off
constexpr ui::ControlRow<SplashControl, TForm1> kControls[] = {
    // Key                  Name      Kind                           Bounds             Caption Font Colour            Align                          Parent Click
    {SplashControl::Image1, "Image1", platform::ControlKind::Image, {0, 1, 441, 249},  "",     {},  ui::colors::kBlack, platform::TextAlign::Left, {},    &TForm1::OnPictureClick},
};
constexpr ui::TimerRow<SplashTimer, TForm1> kTimers[] = {
    // Key                Name      Interval Running Tick
    {SplashTimer::Hide,   "Timer1", 10000,   true,   &TForm1::OnHideTick},
};
constexpr platform::FormArgs kWindow = {
    // Name   Caption              Style                            Bounds            Outer  Centred TopMost Colour
    "Form1", "Winamp Lum Plugin", platform::FormStyle::Borderless, {0, 0, 440, 252}, false, true,   true,   ui::colors::kBlack};
// clang-format on
static_assert(std::size(kControls) == static_cast<std::size_t>(SplashControl::Count));
static_assert(ui::RowsInIdOrder(kControls) && ui::RowsInIdOrder(kTimers));

} // namespace

TForm1::TForm1(UiContext& context) : context_(context) {
    form_ = context_.Ui.CreateForm(kWindow);
    ui::CreateControls(*form_, kControls, *this, controls_);
    ui::CreateTimers(*form_, kTimers, *this, timers_);
    controls_[static_cast<std::size_t>(SplashControl::Image1)]->SetPicture(ui::SplashPicture());
    form_->Show();
}

TForm1::~TForm1() = default;

void TForm1::OnHideTick() {
    HideTimer().SetEnabled(false);
    form_->Hide();
}

void TForm1::OnPictureClick() {
    HideTimer().SetEnabled(false);
    form_->Hide();
    context_.Display->EndBannerPeriod();
}

} // namespace lum
