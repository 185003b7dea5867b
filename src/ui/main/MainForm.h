#pragma once
// TMainForm: the plug-in's small main window. It mirrors the host's title and playing position
// in two dark-blue fields, has buttons for the player, the display and the active text set,
// and owns the serial port component SerialPortNG1 and the timers of the start-up, the display
// start sequence, the refresh and the mirror.

#include "serial/SerialNG.h"
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

/// The timers of the main window, in the order of its timer table.
enum class MainTimer { Timer2, Timer3, Timer4, Timer6, Timer5, Timer7, Reconnect, Count };

/// The main window.
class TMainForm {
public:
    /// Creates the window hidden, with SerialPortNG1 closed on "COM1" at 9600 baud and the
    /// start-up and mirror timers running.
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
    /// The serial port component; null once quit has destroyed it.
    [[nodiscard]] serial::TSerialPortNG* SerialPortNG1() { return SerialPortNG1_.get(); }
    /// Destroys the serial port component (quit): closes the port and ends its worker.
    void DestroySerialPort();

    /// Shows the display's state on Panel7: "VFD off" on green while it is on, "VFD on" on
    /// grey while it is off.
    void ShowDisplayState(bool on);
    /// Starts or ends the banner period: Timer7 runs exactly while frames show the banner.
    void SetBannerPeriod(bool running);

    // Handlers, bound by the layout tables.
    void Timer2Timer();
    void Timer3Timer();
    void Timer4Timer();
    void Timer5Timer();
    void Timer6Timer();
    void Timer7Timer();
    void OnReconnectTick();
    void Panel2Click();
    void Panel3Click();
    void Panel4Click();
    void Panel5Click();
    void Panel6Click();
    void Panel7Click();
    void Panel8Click();
    void Panel9Click();
    void Panel10Click();
    void Panel11Click();
    void Panel12Click();
    void Panel13Click();
    void Panel14Click();
    void Panel15Click();
    void FormKeyDown(std::uint16_t& key, platform::ShiftState shift);

    /// The mirror update: title and playing position of the host's current entry.
    void UpdateMirror();

private:
    UiContext& context_;
    std::unique_ptr<platform::Form> form_;
    std::array<platform::Control*, static_cast<std::size_t>(MainControl::Count)> controls_{};
    std::array<platform::Timer*, static_cast<std::size_t>(MainTimer::Count)> timers_{};
    std::unique_ptr<serial::TSerialPortNG> SerialPortNG1_;
    MirrorState mirror_;
};

} // namespace lum
