#pragma once
// The display on its serial line: the line (the serial port component in the plug-in), the
// display engine writing to it, the display start sequence and switch-off, applying the line
// settings, bringing the display back after its device went away, and the quit that lets the
// blank frame reach the display.
// It is the one owner of the display's on/off state: the start-up, the main window's button and
// the dialog's "OK" all switch the display through it. Its timers live on the form it is given
// (the plug-in's main window); the display's state is shown through OnShowState.

#include "display/DisplayEngine.h"
#include "driver/DisplayLine.h"
#include "driver/SerialDisplayPort.h"
#include "platform/Comm.h"
#include "platform/Ui.h"
#include "serial/SerialNG.h"
#include "settings/Settings.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace lum {

/// The driver's timers.
enum class DriverTimer {
    InitCommand,   ///< start sequence step 1: the initialisation byte, 1000 ms after DTR
    StartLineFeed, ///< start sequence step 2: CR LF 250 ms later, then refresh and banner
    Refresh,       ///< the refresh tick, every UpdateInterval ms
    BannerEnd,     ///< the end of the 4000 ms banner period
    Reconnect,     ///< opening the port again after its device went away
    Count
};

/// The display driver.
class DisplayDriver {
public:
    /// The plug-in's driver: its line is the serial port component on `comm`, closed on "COM1"
    /// at 9600 baud; the timers on `timerOwner`, stopped. Everything given must outlive the
    /// driver.
    DisplayDriver(platform::Ui& ui, platform::Comm& comm, platform::Form& timerOwner,
                  Settings& settings, NowPlaying& player);
    /// A driver on `line`, which it owns, closed.
    DisplayDriver(platform::Ui& ui, std::unique_ptr<DisplayLine> line, platform::Form& timerOwner,
                  Settings& settings, NowPlaying& player);
    /// Stops the timers and releases the line (if Quit has not).
    ~DisplayDriver();
    DisplayDriver(const DisplayDriver&) = delete;
    DisplayDriver& operator=(const DisplayDriver&) = delete;

    [[nodiscard]] DisplayEngine& Engine() { return engine_; }
    /// The line; null once Quit has released it.
    [[nodiscard]] DisplayLine* Line() { return line_.get(); }
    /// Whether Quit has released the line: nothing reaches the display any more.
    [[nodiscard]] bool IsReleased() const { return line_ == nullptr; }
    /// The serial port component of the plug-in's line; null on another line and after Quit.
    [[nodiscard]] serial::TSerialPortNG* SerialPort() { return line_ ? component_ : nullptr; }
    [[nodiscard]] platform::Timer& Timer(DriverTimer timer) {
        return *timers_[static_cast<std::size_t>(timer)];
    }

    /// The start-up's line: the port named for `comPort` 1-9 (another value keeps "COM1"), the
    /// rate `baudRateText` names (another text keeps the rate), 8N1 without flow control, opened
    /// (DTR and RTS up); the refresh interval `refreshInterval` ms.
    void OpenLine(std::int32_t comPort, std::string_view baudRateText,
                  std::int32_t refreshInterval);
    /// The display start sequence: DTR up, the initialisation byte after 1000 ms, CR LF 250 ms
    /// later, then the refresh with the banner period.
    void SwitchOn();
    /// The display switch-off: DTR down, the refresh and a start sequence still pending stop,
    /// then the blank frame.
    void SwitchOff();
    /// Whether the display is switched on: DTR up, or while its device is gone, the state it
    /// gets back.
    [[nodiscard]] bool IsOn() const;

    /// The dialog's "OK", first half: the line from the settings (port name, the rate
    /// `baudRateText` names, 8N1) opened, the refresh started with UpdateInterval.
    void ApplyLine(std::string_view baudRateText);
    /// The dialog's "OK", second half: the dialog's text sent (CR LF, or the BA63 clear text),
    /// then the display switched by DisplayOff: off as the switch-off does but without the blank
    /// frame; on with the initialisation byte at once and the start sequence after it. Raises
    /// "'%s' ist kein gültiger Integerwert" for an InitCommand that is no number.
    void ApplyDisplayState();

    /// Ends the banner period at once (a click on the splash's picture).
    void EndBannerPeriod();
    /// The quit: the timers stop, the blank frame is sent and allowed to leave the line (each
    /// wait bounded), and the line is closed and released.
    void Quit();

    /// Shows the display's state: true when it is switched on, false when off.
    std::function<void(bool on)> OnShowState;
    /// Hears that the display's device has gone (false), and that it is back (true): once each.
    std::function<void(bool present)> OnDevicePresence;

private:
    void OnInitCommandTick();
    void OnStartLineFeedTick();
    void OnRefreshTick();
    void OnBannerEndTick();
    void OnReconnectTick();

    void ShowState(bool on);
    void TellDevicePresence(bool present);
    void SetBannerPeriod(bool running);
    /// Stops the start sequence, the refresh and the banner period.
    void StopDisplayTimers();
    /// Stops a start sequence still pending, so that it cannot switch the refresh back on.
    void CancelStartSequence();
    /// DTR down, the refresh and a pending start sequence stopped.
    void LowerDisplay();
    /// A trouble of the line: the device gone starts bringing the display back.
    void OnLineTrouble(LineTrouble trouble);

    platform::Ui& ui_;
    Settings& settings_;
    std::unique_ptr<DisplayLine> line_;
    serial::TSerialPortNG* component_ = nullptr; ///< the component, on the plug-in's line
    SerialDisplayPort displayPort_;
    DisplayEngine engine_;
    std::array<platform::Timer*, static_cast<std::size_t>(DriverTimer::Count)> timers_{};

    // Bringing the display back after its device went away (see Reconnect.cpp).
    bool deviceLost_ = false;    ///< the device has gone; the port is being opened again
    bool closePending_ = false;  ///< the port is still open on the vanished device
    bool displayWanted_ = false; ///< while the device is gone: the display's state to restore
    bool reopening_ = false;     ///< an attempt to open the port again is running
    bool reopenRefused_ = false; ///< that attempt opened something that is no serial line
};

} // namespace lum
