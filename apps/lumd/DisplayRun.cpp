#include "apps/lumd/DisplayRun.h"

#include "apps/lumd/DeviceCheck.h"
#include "apps/lumd/SettingsApply.h"
#include "common/Windows1252.h"
#include "platform/TimerTable.h"

#include <utility>

namespace lum::lumd {
namespace {

using TimerRow = platform::TimerRow<RunTimer, DisplayRun>;

/// The names of the driver's timers on the run's form, by role.
constexpr std::string_view kDriverTimerNames[] = {
    "InitCommandTimer", "StartLineFeedTimer", "RefreshTimer",
    "BannerEndTimer",   "ReconnectTimer",     "RotationTimer",
};
static_assert(std::size(kDriverTimerNames) == static_cast<std::size_t>(DriverTimer::Count));

/// A message of the plug-in's code for the log: Windows-1252 as UTF-8, line breaks as blanks.
std::string LogText(std::string_view text) {
    std::string blanked(text);
    for (char& c : blanked) {
        c = static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    return Windows1252ToUtf8(blanked);
}

} // namespace

DisplayRun::DisplayRun(platform::headless::HeadlessUi& ui, NowPlaying& player, Log& log,
                       std::string device, std::unique_ptr<DisplayLine> line,
                       std::unique_ptr<DisplayProtocol> protocol)
    : ui_(ui), player_(player), log_(log), device_(std::move(device)) {
    // Nobody reads a message box here: each goes to the log and is answered at once.
    ui_.SetMessageAnswerDelay([this](const platform::headless::ShownMessage& message) {
        log_.Write(message.Kind == platform::MessageKind::Error ? LogLevel::Error : LogLevel::Info,
                   LogText(message.Text));
        return std::uint64_t{0};
    });
    form_ = ui_.CreateForm(platform::FormArgs{.Name = "LumdForm", .Caption = "lumd"});
    line->OnSendEnded = [this] { SendWanted(); };
    driver_ = std::make_unique<DisplayDriver>(*this, std::move(line), settings_, player,
                                              std::move(protocol));
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
    // clang-format off
    static constexpr TimerRow kTimers[] = {
        // Key                   Name                Interval Running Tick
        {RunTimer::DeviceWait,  "DeviceWaitTimer",  1000,    false,  &DisplayRun::OnDeviceWaitTick},
    };
    // clang-format on
    static_assert(std::size(kTimers) == static_cast<std::size_t>(RunTimer::Count));
    static_assert(platform::RowsInIdOrder(kTimers));
    platform::CreateTimers(*form_, kTimers, *this, timers_);
}

DisplayRun::~DisplayRun() {
    for (platform::Timer* timer : timers_) {
        timer->SetEnabled(false);
    }
    // The driver's timers live on the form: the seam and the driver go first.
    apply_.reset();
    driver_.reset();
}

platform::Timer& DisplayRun::Timer(DriverTimer role) {
    const auto at = static_cast<std::size_t>(role);
    if (driverTimers_[at] == nullptr) {
        driverTimers_[at] = &form_->AddTimer(kDriverTimerNames[at], 0, false);
    }
    return *driverTimers_[at];
}

void DisplayRun::Begin(const Settings& asRead) {
    startValues_ = asRead;
    TryStart();
}

void DisplayRun::TryStart() {
    const DeviceCheck check = CheckDevice(device_);
    if (check.State == DeviceState::Missing) {
        if (!waitReported_) {
            waitReported_ = true;
            log_.Info("waiting for " + device_ + " (" + check.Reason +
                      "); looking again every second");
        }
        Timer(RunTimer::DeviceWait).SetEnabled(true);
        return;
    }
    Timer(RunTimer::DeviceWait).SetEnabled(false);
    if (check.State == DeviceState::Ready) {
        apply_->Apply(startValues_, ApplyOccasion::StartUp, SelectedBaudRate(startValues_));
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

void DisplayRun::Reread(const Settings& asRead) {
    if (!started_) {
        startValues_ = asRead;
        return;
    }
    ui_.Dispatch([&] { apply_->Apply(asRead, ApplyOccasion::Reread, SelectedBaudRate(asRead)); });
}

void DisplayRun::ShowChangeNow() {
    const std::int32_t entry = player_.ListPosition();
    PlayerView now{player_.PlayStateNumber(PlayState::Playing), entry, player_.EntryTitle(entry),
                   player_.EntryFileName(entry), player_.LengthSeconds()};
    if (now == shown_) {
        return; // nothing the display shows has changed: the refresh keeps its beat
    }
    shown_ = std::move(now);
    tickWanted_ = true;
    SendWanted();
}

void DisplayRun::Brightness(int step) {
    brightnessWanted_ = step;
    SendWanted();
}

void DisplayRun::SendWanted() {
    DisplayLine* line = driver_->Line();
    if (!started_ || line == nullptr) {
        tickWanted_ = false;
        brightnessWanted_.reset();
        return;
    }
    // What is sent while another write is on the wire is dropped: each waits for its end.
    if (brightnessWanted_ && !line->SendPending()) {
        const int step = *std::exchange(brightnessWanted_, std::nullopt);
        ui_.Dispatch([&] { driver_->Brightness(step); });
    }
    if (tickWanted_ && !line->SendPending()) {
        tickWanted_ = false;
        ui_.Dispatch([&] { driver_->ShowNow(); });
    }
    if (tickWanted_ || brightnessWanted_) {
        line->WatchSendEnd();
    }
}

void DisplayRun::Quit() {
    for (platform::Timer* timer : timers_) {
        timer->SetEnabled(false);
    }
    if (started_) {
        driver_->Quit();
    }
    finished_ = true;
}

void DisplayRun::OnDeviceWaitTick() {
    TryStart();
}

} // namespace lum::lumd
