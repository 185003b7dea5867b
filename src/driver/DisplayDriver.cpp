// The driver's parts, its verbs and its quit.
#include "driver/DisplayDriver.h"

#include "common/TableOrder.h"
#include "display/CharsetProtocol.h"
#include "display/ProtocolOutput.h"

#include <algorithm>
#include <iterator>

namespace lum {
namespace {

/// One of the driver's timers: its role, its first interval and its tick.
struct DriverTimerRow {
    DriverTimer Role;
    std::uint32_t Interval;
    void (DisplayDriver::*Tick)();
};

/// How long quit waits beyond a frame's time on the wire.
constexpr std::uint32_t kQuitGrace = 500;
/// How long it takes the serial worker to read the line's status afresh (two of its passes).
constexpr std::uint32_t kStatusSettle = 150;
/// Bits a byte takes on the line: start bit, 8 data bits, stop bit.
constexpr std::uint64_t kBitsPerByte = 10;

/// Milliseconds `bytes` take on the wire at `baud`.
std::uint32_t WireTime(std::size_t bytes, std::uint32_t baud) {
    const std::uint64_t rate = std::max<std::uint32_t>(baud, 1);
    return static_cast<std::uint32_t>((bytes * kBitsPerByte * 1000 + rate - 1) / rate);
}

/// The most bytes one write of `output` to the display holds with `settings`.
std::size_t LargestWrite(const FrameOutput& output, const Settings& settings) {
    const auto width = static_cast<std::size_t>(std::clamp(settings.LineWidth, 0, 80));
    const auto lines = static_cast<std::size_t>(std::clamp(settings.LineCount, 0, kLinesPerSet));
    return output.LargestWrite(lines, width);
}

} // namespace

DisplayDriver::DisplayDriver(DriverHost& host, std::unique_ptr<DisplayLine> line,
                             const Settings& config, NowPlaying& player,
                             std::unique_ptr<DisplayProtocol> protocol)
    : host_(host), settings_(config), line_(std::move(line)), displayPort_(line_),
      ownOutput_(std::make_unique<ProtocolOutput>(
          displayPort_,
          MakeCharsetProtocol(protocol ? std::move(protocol) : MakeSettingsProtocol(config),
                              charset_))),
      output_(*ownOutput_), engine_(config, player, output_) {
    Bind();
}

DisplayDriver::DisplayDriver(DriverHost& host, std::unique_ptr<DisplayLine> line,
                             const Settings& config, NowPlaying& player, FrameOutput& output)
    : host_(host), settings_(config), line_(std::move(line)), displayPort_(line_), output_(output),
      engine_(config, player, output_) {
    Bind();
}

void DisplayDriver::Bind() {
    line_->OnTrouble = [this](LineTrouble trouble) { OnLineTrouble(trouble); };

    // clang-format off
    static constexpr DriverTimerRow kTimers[] = {
        // Role                        Interval Tick
        {DriverTimer::InitCommand,   1000,    &DisplayDriver::OnInitCommandTick},
        {DriverTimer::StartLineFeed, 250,     &DisplayDriver::OnStartLineFeedTick},
        {DriverTimer::Refresh,       300,     &DisplayDriver::OnRefreshTick},
        {DriverTimer::BannerEnd,     4000,    &DisplayDriver::OnBannerEndTick},
        // Opening the port again after its device went away; interval set as it runs.
        {DriverTimer::Reconnect,     1000,    &DisplayDriver::OnReconnectTick},
    };
    // clang-format on
    static_assert(std::size(kTimers) == std::tuple_size_v<decltype(timers_)>);
    static_assert(RowsInEnumOrder<&DriverTimerRow::Role>(kTimers));
    for (const DriverTimerRow& row : kTimers) {
        platform::Timer& timer = host_.Timer(row.Role);
        timer.SetInterval(row.Interval);
        timer.OnTimer = [this, tick = row.Tick] { (this->*tick)(); };
        timers_[static_cast<std::size_t>(row.Role)] = &timer;
    }
}

DisplayDriver::~DisplayDriver() {
    for (platform::Timer* timer : timers_) {
        timer->SetEnabled(false);
        timer->OnTimer = nullptr;
    }
    line_.reset();
}

void DisplayDriver::ReportOnOff(bool on) {
    if (OnShowState) {
        OnShowState(on);
    }
}

void DisplayDriver::TellDevicePresence(bool present) {
    if (OnDevicePresence) {
        OnDevicePresence(present);
    }
}

void DisplayDriver::SetBannerPeriod(bool running) {
    running = running && rules_.Banner;
    Timer(DriverTimer::BannerEnd).SetEnabled(running);
    engine_.SetBannerPeriod(running);
}

void DisplayDriver::EndBannerPeriod() {
    SetBannerPeriod(false);
}

void DisplayDriver::OnRefreshTick() {
    engine_.RefreshTick();
    if (rules_.RefreshOnlyWhenChanging) {
        ScheduleRefresh();
    }
}

void DisplayDriver::ScheduleRefresh() {
    platform::Timer& refresh = Timer(DriverTimer::Refresh);
    std::optional<std::uint32_t> next;
    if (engine_.FrameWaiting() && line_ != nullptr) {
        // The line's program hears when the line is free (FrameWaiting); without word from a
        // line that cannot tell, the next tick tries again.
        line_->WatchSendEnd();
    }
    if (engine_.FrameWaiting() || engine_.Motion() == FrameMotion::Ticks) {
        next = static_cast<std::uint32_t>(std::max(settings_.UpdateInterval, 0));
    } else if (engine_.Motion() == FrameMotion::Minutes) {
        next = engine_.MsToNextMinute();
    }
    refreshWaits_ = !next;
    if (next) {
        refresh.SetInterval(*next);
        refresh.SetEnabled(true);
    } else {
        refresh.SetEnabled(false);
    }
}

bool DisplayDriver::RefreshRunning() {
    const platform::Timer& refresh = Timer(DriverTimer::Refresh);
    return refreshWaits_ || (refresh.Enabled() && refresh.Interval() != 0);
}

void DisplayDriver::StopRefresh() {
    Timer(DriverTimer::Refresh).SetEnabled(false);
    refreshWaits_ = false;
}

void DisplayDriver::ShowNow() {
    platform::Timer& refresh = Timer(DriverTimer::Refresh);
    if (!RefreshRunning()) {
        return; // the display off, starting or away: the refresh shows it later
    }
    refresh.SetEnabled(false);
    refresh.SetEnabled(true);
    OnRefreshTick();
}

void DisplayDriver::SetRules(const DisplayRules& rules) {
    rules_ = rules;
    charset_ = rules_.Charset;
    engine_.SetCharset(charset_);
    engine_.SendChangedFramesOnly(rules_.RefreshOnlyWhenChanging);
    if (rules_.Banner) {
        engine_.SetBanner(*rules_.Banner);
    } else {
        SetBannerPeriod(false);
    }
    ShowNow();
}

void DisplayDriver::ShowInstead(std::optional<Overlay> screen) {
    engine_.ShowInstead(std::move(screen));
    ShowNow();
}

void DisplayDriver::SetBlank(bool blank) {
    engine_.SetBlank(blank);
    ShowNow();
}

void DisplayDriver::Brightness(int step) {
    engine_.SendBrightness(step);
}

void DisplayDriver::Quit() {
    StopDisplayTimers();
    Timer(DriverTimer::Reconnect).SetEnabled(false);
    if (line_ == nullptr) {
        return;
    }
    // The blank frame must reach the display: one write at a time, and closing the line
    // empties its output queue. Every wait is bounded, so a dead line cannot hold the host.
    DisplayLine* line = line_.get();
    const std::uint32_t bound =
        WireTime(LargestWrite(output_, settings_), line->BaudRate()) + kQuitGrace;
    const auto writeEnded = [line] { return !line->SendPending(); };
    host_.WaitUntil(writeEnded, bound);
    engine_.ClearDisplay();
    host_.WaitUntil(writeEnded, bound);
    host_.WaitUntil([] { return false; }, kStatusSettle);
    host_.WaitUntil([line] { return line->OutQueueBytes() == 0; }, bound);
    line_.reset();
}

} // namespace lum
