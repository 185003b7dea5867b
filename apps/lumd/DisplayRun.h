#pragma once
// lumd's display on its loop's thread: the loop holds the display driver's timers (the run is the
// driver's host) and lumd's own (the wait for a missing device); an error a tick raises goes to
// the loop's error handler, lumd's log. The display starts once its device is there; the
// settings apply through the driver's apply seam as the plug-in applies them, and the seam runs
// the set rotation; a player's change makes the refresh tick come at once, or, while a write is
// on the wire, as soon as the line says it has left (one tick and one brightness byte wait,
// built when they go, so changes that come meanwhile are combined). The device's loss and
// return are logged.
//
// lumd's own rules (DisplayOptions.h) apply on top: the display's character set and banner,
// frames only when they changed with the refresh asleep while nothing moves, a new title
// scrolling from its first character, the brightness sent after every start, and the rest: the
// resting screen dimmed after the player has stopped or paused for a while, then blank, woken by
// any change of the player.
//
// The display may be LCDproc's server LCDd's instead of a tty's (LcdprocOutput.h): then the frames
// go to LCDd, whose display gives the frame's width and lines, and lumd's screen there is in the
// foreground while the player plays.

#include "apps/lumd/DisplayOptions.h"
#include "apps/lumd/DisplayRest.h"
#include "apps/lumd/EventLoop.h"
#include "apps/lumd/LcdprocOutput.h"
#include "apps/lumd/Log.h"
#include "driver/DisplayDriver.h"
#include "driver/DisplayLine.h"
#include "driver/DriverHost.h"
#include "driver/SettingsApply.h"
#include "settings/Settings.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace lum::lumd {

/// The display of one lumd run, and its driver's host.
class DisplayRun final : public DriverHost {
public:
    /// `device`: the tty every COM port of the settings opens, through `line`, which the run's
    /// driver owns, in `protocol` (none: the plug-in's kinds, as the settings choose them);
    /// `options` lumd's own rules. All else given must outlive the run.
    DisplayRun(EventLoop& loop, NowPlaying& player, Log& log, std::string device,
               std::unique_ptr<DisplayLine> line, const DisplayOptions& options,
               std::unique_ptr<DisplayProtocol> protocol = nullptr);
    /// A run whose display is LCDd's, through `lcdproc`, which the run owns and starts;
    /// `options` lumd's own rules. All else given must outlive the run.
    DisplayRun(EventLoop& loop, NowPlaying& player, Log& log,
               std::unique_ptr<LcdprocOutput> lcdproc, const DisplayOptions& options);
    ~DisplayRun() override;
    DisplayRun(const DisplayRun&) = delete;
    DisplayRun& operator=(const DisplayRun&) = delete;

    /// Starts the display with `asRead` as the plug-in's start-up does, once the device is
    /// there: a missing one is said once and looked for every second; one that can never be
    /// the display's line ends the run with exit code 1.
    void Begin(const Settings& asRead);
    /// Applies reread values as the dialog's "OK" does (before the start: they are what the
    /// start applies), and lumd's rules `options` from here on.
    void Reread(const Settings& asRead, const DisplayOptions& options);
    /// The player reported a change: when what the display shows of it (state, entry, title,
    /// file, length; not the running position) differs from the last report, and while the
    /// refresh runs, the refresh tick comes now and its countdown starts afresh; a frame still
    /// on the wire is let go first.
    void ShowChangeNow();
    /// The main window's brightness buttons: the byte of step `step` (1-4) to the display once
    /// the write on the wire (if any) has left; nothing before the start or while the device is
    /// gone. It is the brightness of every start from here on, and of waking from the rest.
    void Brightness(int step);
    /// The plug-in's quit: the blank frame is sent and the port closed; the run has finished.
    void Quit();

    /// The driver's timers, on the loop.
    [[nodiscard]] platform::Timer& Timer(DriverTimer role) override;
    /// The loop's wait: the line's reports wait for the loop's next turn.
    bool WaitUntil(const std::function<bool()>& done, std::uint32_t timeoutMs) override {
        return loop_.WaitUntil(done, timeoutMs);
    }

    [[nodiscard]] bool Finished() const { return finished_; }
    /// 0, or 1 when the device was refused.
    [[nodiscard]] int ExitCode() const { return exitCode_; }
    [[nodiscard]] DisplayDriver& Driver() { return *driver_; }
    [[nodiscard]] const Settings& Values() const { return settings_; }

private:
    /// What the display shows of the player, apart from the position that runs on.
    struct PlayerView {
        std::int32_t State = -1;
        std::int32_t Entry = -1;
        std::string Title{};
        std::string File{};
        std::int32_t Length = 0;

        friend bool operator==(const PlayerView&, const PlayerView&) = default;
    };

    /// The members alone; the constructors add the driver and bind it.
    DisplayRun(EventLoop& loop, NowPlaying& player, Log& log, std::string device,
               const DisplayOptions& options);
    /// Binds the driver's and the rest's events and applies lumd's rules.
    void Bind();
    void TryStart();
    /// `values` at the size of LCDd's display, once LCDd has told it.
    [[nodiscard]] Settings Sized(Settings values) const;
    /// LCDd's display is `size`: the frames take it from now on.
    void OnLcdSize(LcdSize size);
    /// Tells LCDd whether the player plays.
    void TellPlaying(bool playing);
    /// Sends the brightness byte and then the refresh tick that wait, one write at a time; what
    /// still waits then goes when the line says the write on the wire has ended.
    void SendWanted();
    /// Hands lumd's rules to the driver and the rest.
    void UseOptions();
    /// Shows the rest's `phase`.
    void OnRestPhase(RestPhase phase);
    /// The brightness the display has now: the lowest while it rests.
    [[nodiscard]] int ShownBrightness() const;

    EventLoop& loop_;
    platform::Timer& deviceWait_; ///< looking for the missing device again, once a second
    NowPlaying& player_;
    Log& log_;
    std::string device_;
    Settings settings_;
    Settings startValues_; ///< what the start applies, as read
    PlayerView shown_;     ///< the player at the last change reported
    bool tickWanted_ = false;
    std::optional<int> brightnessWanted_;
    std::array<platform::Timer*, static_cast<std::size_t>(DriverTimer::Count)> driverTimers_{};
    std::unique_ptr<LcdprocOutput> lcdproc_; ///< LCDd, when the display is its; outlives driver_
    std::optional<LcdSize> lcdSize_;         ///< LCDd's display, once known
    std::unique_ptr<DisplayDriver> driver_;
    std::unique_ptr<SettingsApply> apply_;
    DisplayOptions options_;
    int brightness_;                    ///< the brightness when awake
    std::unique_ptr<DisplayRest> rest_; ///< on a timer of the loop
    bool started_ = false;
    bool waitReported_ = false;
    bool finished_ = false;
    int exitCode_ = 0;
};

} // namespace lum::lumd
