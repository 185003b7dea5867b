#pragma once
// The display on its line: the line (the serial port component in the plug-in, a tty of its own
// in lumd), the display engine writing to it through a display protocol (or to an output of the
// caller's that is no byte stream), the display start sequence and switch-off, the line settings
// applied, bringing the display back after its device went away, and the quit that lets the
// blank frame reach the display.
// It is the one owner of the display's on/off state: the start-up, the main window's button and
// the dialog's "OK" all switch the display through it. Its timers are its host's (DriverHost);
// the display's state is shown through OnShowState. The settings reach it through the apply seam
// (SettingsApply), the only place that knows the order of their steps.
//
// lumd sets rules of its own (DisplayRules; the plug-in keeps the defaults): the display's
// character set, its banner or none, frames only when they changed with refresh ticks only while
// the frame changes with time, a screen in place of the active set and a blank display.

#include "common/DisplayCharset.h"
#include "display/DisplayEngine.h"
#include "display/DisplayProtocol.h"
#include "display/FrameOutput.h"
#include "display/ShowState.h"
#include "driver/DisplayLine.h"
#include "driver/DriverHost.h"
#include "driver/SerialDisplayPort.h"
#include "settings/Settings.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace lum {

class SettingsApply;

/// lumd's rules for the display; the defaults are the plug-in's own behaviour.
struct DisplayRules {
    /// The display's character set: the frames' text is folded for it and goes out in its
    /// bytes. Null: Windows-1252 as it is.
    const DisplayCharset* Charset = nullptr;
    /// The banner of the start sequence's banner period; none: no banner period.
    std::optional<Overlay> Banner = PluginBanner();
    /// A frame goes out only when it differs from what the display shows, and the refresh ticks
    /// only while the frame changes with time (every interval while a line scrolls or a running
    /// position or the seconds show, at each full minute for the time or the date, every
    /// interval while a frame waits for a busy line), and at ShowNow.
    bool RefreshOnlyWhenChanging = false;
};

/// The display driver.
class DisplayDriver {
public:
    /// A driver on `line`, which it owns, closed; its timers are `host`'s, stopped. Its frames
    /// and commands go to the line as `protocol`'s bytes; without one, as the plug-in's frame
    /// kinds that the settings choose. Everything else given must outlive the driver.
    DisplayDriver(DriverHost& host, std::unique_ptr<DisplayLine> line, const Settings& config,
                  NowPlaying& player, std::unique_ptr<DisplayProtocol> protocol = nullptr);
    /// A driver as above whose frames and commands go to `output` instead, which must outlive
    /// it; the line still carries the display's state (opened, DTR, its device's loss).
    DisplayDriver(DriverHost& host, std::unique_ptr<DisplayLine> line, const Settings& config,
                  NowPlaying& player, FrameOutput& output);
    /// Stops the timers and releases the line (if Quit has not).
    ~DisplayDriver();
    DisplayDriver(const DisplayDriver&) = delete;
    DisplayDriver& operator=(const DisplayDriver&) = delete;

    /// The line; null once Quit has released it.
    [[nodiscard]] DisplayLine* Line() { return line_.get(); }
    /// Whether Quit has released the line: nothing reaches the display any more.
    [[nodiscard]] bool IsReleased() const { return line_ == nullptr; }

    /// The display start sequence: DTR up, the initialisation after 1000 ms, the start line feed
    /// 250 ms later, then the refresh with the banner period.
    void SwitchOn();
    /// The display switch-off: DTR down, the refresh and a start sequence still pending stop,
    /// then the blank frame.
    void SwitchOff();
    /// Whether the display is switched on: DTR up, or while its device is gone, the state it
    /// gets back.
    [[nodiscard]] bool IsOn() const;

    /// The refresh tick now, its countdown afresh; nothing while the refresh is stopped (the
    /// display off, starting or away). Raises what the tick raises.
    void ShowNow();
    /// Sends brightness step `step`, 1 ("Hell 1", dimmest) to 4 ("Hell 4", brightest).
    void Brightness(int step);
    /// Line `line` (1-8) of the active set as the dialog's preview shows it, moving nothing.
    [[nodiscard]] PreviewLine Preview(int line) { return engine_.Preview(line); }
    /// What the display shows: the active set (the set buttons and the dialog's field change
    /// it) and the scroll offsets.
    [[nodiscard]] ShowState& Shown() { return engine_.Shown(); }

    /// Ends the banner period at once (a click on the splash's picture).
    void EndBannerPeriod();

    /// Follows `rules` from here on.
    void SetRules(const DisplayRules& rules);
    /// Shows `screen` in place of the active set (none: the set again), at once.
    void ShowInstead(std::optional<Overlay> screen);
    /// Leaves the display blank, no frame after the clear, or shows frames again; at once.
    void SetBlank(bool blank);
    /// With RefreshOnlyWhenChanging: a frame waits for the busy line (the driver has asked the
    /// line to tell its end); ShowNow sends it.
    [[nodiscard]] bool FrameWaiting() const { return engine_.FrameWaiting(); }
    /// Every line starts scrolling from its first character with the next frame.
    void ScrollFromStart() { engine_.ScrollFromStart(); }
    /// The quit: the timers stop, the blank frame is sent and allowed to leave the line (each
    /// wait bounded), and the line is closed and released.
    void Quit();

    /// Shows the display's state: true when it is switched on, false when off.
    std::function<void(bool on)> OnShowState;
    /// Hears that the display's device has gone (false), and that it is back (true): once each.
    std::function<void(bool present)> OnDevicePresence;
    /// Hears that a start sequence has sent its line feed: the display is ready for commands,
    /// and the first frame follows one refresh interval later.
    std::function<void()> OnStarted;

private:
    // The steps of applying settings, which only the apply seam orders.
    friend class SettingsApply;

    /// The start-up's line: the port `comPort` (DisplayLine::SetPort), the rate `baudRate` (none
    /// keeps the rate), 8N1 without flow control, opened (DTR and RTS up); the refresh interval
    /// `refreshInterval` ms.
    void OpenLine(std::int32_t comPort, std::optional<std::uint32_t> baudRate,
                  std::int32_t refreshInterval);
    /// The dialog's "OK", first half: the line from the settings (port, the rate `baudRate`,
    /// 8N1) opened, the refresh started with UpdateInterval.
    void ApplyLine(std::optional<std::uint32_t> baudRate);
    /// The dialog's "OK", second half: the dialog's text sent (the plug-in's kinds: CR LF, or the
    /// BA63 clear text), then the display switched by DisplayOff: off as the switch-off does but
    /// without the blank frame; on with the initialisation at once and the start sequence after
    /// it. The plug-in's kinds raise "'%s' ist kein gültiger Integerwert" for an InitCommand that
    /// is no number.
    void ApplyDisplayState();

    void OnInitCommandTick();
    void OnStartLineFeedTick();
    void OnRefreshTick();
    /// With RefreshOnlyWhenChanging: the next refresh tick when the frame next changes, none
    /// while it does not.
    void ScheduleRefresh();
    /// The refresh is under way: its timer runs, or waits for ShowNow (RefreshOnlyWhenChanging).
    [[nodiscard]] bool RefreshRunning();
    /// Stops the refresh.
    void StopRefresh();
    void OnBannerEndTick();
    void OnReconnectTick();

    /// Binds the driver's timers and the line's troubles.
    void Bind();
    [[nodiscard]] platform::Timer& Timer(DriverTimer timer) {
        return *timers_[static_cast<std::size_t>(timer)];
    }
    void ReportOnOff(bool on);
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

    DriverHost& host_;
    const Settings& settings_;
    DisplayRules rules_;
    const DisplayCharset* charset_ = nullptr; ///< rules_.Charset, read by the protocol
    bool refreshWaits_ = false; ///< the refresh waits for ShowNow while the frame is still
    std::unique_ptr<DisplayLine> line_;
    SerialDisplayPort displayPort_;
    std::unique_ptr<FrameOutput> ownOutput_; ///< the protocol on the line, when the driver made it
    FrameOutput& output_;
    DisplayEngine engine_;
    /// The driver's own timers: the roles before DriverTimer::Rotation.
    std::array<platform::Timer*, static_cast<std::size_t>(DriverTimer::Rotation)> timers_{};

    // Bringing the display back after its device went away (see Reconnect.cpp).
    bool deviceLost_ = false;    ///< the device has gone; the port is being opened again
    bool closePending_ = false;  ///< the port is still open on the vanished device
    bool displayWanted_ = false; ///< while the device is gone: the display's state to restore
    bool reopening_ = false;     ///< an attempt to open the port again is running
    bool reopenRefused_ = false; ///< that attempt opened something that is no serial line
};

} // namespace lum
