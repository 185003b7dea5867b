#include "apps/lumd/DisplayRun.h"

#include "apps/lumd/DeviceCheck.h"
#include "apps/lumd/ServerDisplayLine.h"
#include "apps/lumd/SettingsApply.h"

#include <algorithm>
#include <utility>

namespace lum::lumd {
namespace {

/// The names of the driver's timers on the loop, by role.
constexpr std::string_view kDriverTimerNames[] = {
    "InitCommandTimer", "StartLineFeedTimer", "RefreshTimer",
    "BannerEndTimer",   "ReconnectTimer",     "RotationTimer",
};
static_assert(std::size(kDriverTimerNames) == static_cast<std::size_t>(DriverTimer::Count));

} // namespace

DisplayRun::DisplayRun(EventLoop& loop, NowPlaying& player, Log& log, std::string device,
                       const DisplayOptions& options)
    : loop_(loop), deviceWait_(loop.AddTimer("DeviceWaitTimer")), player_(player), log_(log),
      device_(std::move(device)), options_(options), brightness_(options.Brightness) {}

DisplayRun::DisplayRun(EventLoop& loop, NowPlaying& player, Log& log, std::string device,
                       std::unique_ptr<DisplayLine> line, const DisplayOptions& options,
                       std::unique_ptr<DisplayProtocol> protocol)
    : DisplayRun(loop, player, log, std::move(device), options) {
    line->OnSendEnded = [this] { SendWanted(); };
    driver_ = std::make_unique<DisplayDriver>(*this, std::move(line), settings_, player,
                                              std::move(protocol));
    Bind();
}

DisplayRun::DisplayRun(EventLoop& loop, NowPlaying& player, Log& log,
                       std::unique_ptr<LcdprocOutput> lcdproc, const DisplayOptions& options)
    : DisplayRun(loop, player, log, "LCDd at " + lcdproc->Address().Text(), options) {
    lcdproc_ = std::move(lcdproc);
    lcdproc_->OnSize = [this](LcdSize size) { OnLcdSize(size); };
    driver_ = std::make_unique<DisplayDriver>(*this, std::make_unique<ServerDisplayLine>(),
                                              settings_, player, *lcdproc_);
    Bind();
    lcdproc_->Start();
}

void DisplayRun::Bind() {
    deviceWait_.SetInterval(1000);
    deviceWait_.OnTimer = [this] { TryStart(); };
    apply_ = std::make_unique<SettingsApply>(*this, *driver_, settings_);
    driver_->OnShowState = [this](bool on) {
        log_.Debug(on ? "display switched on" : "display switched off");
    };
    driver_->OnDevicePresence = [this](bool present) {
        if (present) {
            log_.Info("display device back: " + device_);
        } else {
            log_.Warning("display device gone: " + device_ + "; looking again every second");
        }
    };
    driver_->OnStarted = [this] {
        brightnessWanted_ = ShownBrightness();
        SendWanted();
    };
    rest_ = std::make_unique<DisplayRest>(loop_.AddTimer("RestTimer"),
                                          [this](RestPhase phase) { OnRestPhase(phase); });
    UseOptions();
}

void DisplayRun::UseOptions() {
    if (lcdproc_) {
        lcdproc_->SetCharset(options_.Charset);
    }
    driver_->SetRules(
        {.Charset = options_.Charset, .Banner = options_.Banner, .RefreshOnlyWhenChanging = true});
    rest_->SetTimes(options_.RestAfterMs, options_.BlankAfterMs);
}

DisplayRun::~DisplayRun() {
    // The timers live as long as the loop: none may tick into the run once it has gone.
    deviceWait_.SetEnabled(false);
    deviceWait_.OnTimer = nullptr;
    rest_.reset();
    apply_.reset();
    driver_.reset();
    for (platform::Timer* timer : driverTimers_) {
        if (timer != nullptr) {
            timer->SetEnabled(false);
            timer->OnTimer = nullptr;
        }
    }
}

platform::Timer& DisplayRun::Timer(DriverTimer role) {
    const auto at = static_cast<std::size_t>(role);
    if (driverTimers_[at] == nullptr) {
        driverTimers_[at] = &loop_.AddTimer(kDriverTimerNames[at]);
    }
    return *driverTimers_[at];
}

void DisplayRun::Begin(const Settings& asRead) {
    startValues_ = asRead;
    const bool playing = player_.PlayStateNumber(PlayState::Playing) ==
                         static_cast<std::int32_t>(PlayState::Playing);
    rest_->PlayerChanged(playing);
    TellPlaying(playing);
    TryStart();
}

void DisplayRun::TryStart() {
    // LCDd's display is there for lumd whenever LCDd is; the output waits for LCDd.
    const DeviceCheck check = lcdproc_ ? DeviceCheck{} : CheckDevice(device_);
    if (check.State == DeviceState::Missing) {
        if (!waitReported_) {
            waitReported_ = true;
            log_.Info("waiting for " + device_ + " (" + check.Reason +
                      "); looking again every second");
        }
        deviceWait_.SetEnabled(true);
        return;
    }
    deviceWait_.SetEnabled(false);
    if (check.State == DeviceState::Ready) {
        apply_->Apply(Sized(startValues_), ApplyOccasion::StartUp, SelectedBaudRate(startValues_));
        if (driver_->Line()->IsOpen()) {
            started_ = true;
            log_.Info("display on " + device_ + (settings_.DisplayOff ? " (switched off)" : ""));
            return;
        }
    }
    log_.Error(device_ + ": " + (check.Reason.empty() ? "cannot be opened" : check.Reason));
    exitCode_ = 1;
    Quit();
}

void DisplayRun::Reread(const Settings& asRead, const DisplayOptions& options) {
    options_ = options;
    brightness_ = options.Brightness;
    UseOptions();
    if (!started_) {
        startValues_ = asRead;
        return;
    }
    // The rest's count starts afresh with its new times.
    rest_->PlayerChanged(shown_.State == static_cast<std::int32_t>(PlayState::Playing));
    loop_.Dispatch(
        [&] { apply_->Apply(Sized(asRead), ApplyOccasion::Reread, SelectedBaudRate(asRead)); });
}

Settings DisplayRun::Sized(Settings values) const {
    if (lcdSize_) {
        values.LineWidth =
            static_cast<std::int32_t>(std::clamp<std::size_t>(lcdSize_->Width, 8, 80));
        values.LineCount = static_cast<std::int32_t>(
            std::min<std::size_t>(lcdSize_->Height, static_cast<std::size_t>(kLinesPerSet)));
    }
    return values;
}

void DisplayRun::OnLcdSize(LcdSize size) {
    lcdSize_ = size;
    if (!started_) {
        return; // the start applies it
    }
    const Settings sized = Sized(settings_);
    settings_.LineWidth = sized.LineWidth;
    settings_.LineCount = sized.LineCount;
    tickWanted_ = true;
    SendWanted();
}

void DisplayRun::TellPlaying(bool playing) {
    if (lcdproc_) {
        lcdproc_->SetPlaying(playing);
    }
}

void DisplayRun::ShowChangeNow() {
    const std::int32_t entry = player_.ListPosition();
    PlayerView now{player_.PlayStateNumber(PlayState::Playing), entry, player_.EntryTitle(entry),
                   player_.EntryFileName(entry), player_.LengthSeconds()};
    if (now == shown_) {
        return; // nothing the display shows has changed: the refresh keeps its beat
    }
    if (now.Entry != shown_.Entry || now.Title != shown_.Title || now.File != shown_.File) {
        driver_->ScrollFromStart();
    }
    shown_ = std::move(now);
    const bool playing = shown_.State == static_cast<std::int32_t>(PlayState::Playing);
    rest_->PlayerChanged(playing);
    TellPlaying(playing);
    tickWanted_ = true;
    SendWanted();
}

void DisplayRun::Brightness(int step) {
    brightness_ = step;
    brightnessWanted_ = ShownBrightness();
    SendWanted();
}

int DisplayRun::ShownBrightness() const {
    return rest_->Phase() == RestPhase::Awake ? brightness_ : 1;
}

void DisplayRun::OnRestPhase(RestPhase phase) {
    if (phase == RestPhase::Blank) {
        log_.Debug("display blank");
        loop_.Dispatch([&] { driver_->SetBlank(true); });
        return;
    }
    log_.Debug(phase == RestPhase::Resting ? "display resting" : "display awake");
    loop_.Dispatch([&] {
        driver_->SetBlank(false);
        driver_->ShowInstead(phase == RestPhase::Resting
                                 ? std::optional<Overlay>(Overlay{options_.RestLines, true})
                                 : std::nullopt);
    });
    brightnessWanted_ = ShownBrightness();
    SendWanted();
}

void DisplayRun::SendWanted() {
    DisplayLine* line = driver_->Line();
    if (!started_ || line == nullptr) {
        tickWanted_ = false;
        brightnessWanted_.reset();
        return;
    }
    // A frame the driver could not send waits for the line as a change does.
    tickWanted_ = tickWanted_ || driver_->FrameWaiting();
    // What is sent while another write is on the wire is dropped: each waits for its end.
    if (brightnessWanted_ && !line->SendPending()) {
        const int step = *std::exchange(brightnessWanted_, std::nullopt);
        loop_.Dispatch([&] { driver_->Brightness(step); });
    }
    if (tickWanted_ && !line->SendPending()) {
        tickWanted_ = false;
        loop_.Dispatch([&] { driver_->ShowNow(); });
    }
    if (tickWanted_ || brightnessWanted_) {
        line->WatchSendEnd();
    }
}

void DisplayRun::Quit() {
    deviceWait_.SetEnabled(false);
    if (started_) {
        driver_->Quit();
    }
    finished_ = true;
}

} // namespace lum::lumd
