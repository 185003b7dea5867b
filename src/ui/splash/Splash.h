#pragma once
// TForm1: the splash window. It greets the user when the host loads the plug-in: borderless,
// topmost, centred, hidden after 10 seconds or on a click on its picture, which also ends the
// banner period on the display. It is never shown again.

#include "ui/UiContext.h"

#include <array>
#include <memory>

namespace lum {

/// The controls of the splash window.
enum class SplashControl { Image1, Count };

/// The splash window.
class TForm1 {
public:
    /// Creates the window, shows it and starts its 10-second timer.
    explicit TForm1(UiContext& context);
    ~TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    [[nodiscard]] platform::Form& Window() { return *form_; }
    /// The timer that hides the window after 10 seconds (Timer1).
    [[nodiscard]] platform::Timer& HideTimer() { return *timers_[0]; }

    void OnHideTick();
    void OnPictureClick();

private:
    UiContext& context_;
    std::unique_ptr<platform::Form> form_;
    std::array<platform::Control*, static_cast<std::size_t>(SplashControl::Count)> controls_{};
    std::array<platform::Timer*, 1> timers_{};
};

} // namespace lum
