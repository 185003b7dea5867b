// The driver's parts and its quit.
#include "driver/DisplayDriver.h"

#include "driver/SerialComponentLine.h"
#include "platform/TimerTable.h"

#include <algorithm>

namespace lum {
namespace {

using TimerRow = platform::TimerRow<DriverTimer, DisplayDriver>;

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

/// The most bytes one write to the display holds with `settings`.
std::size_t LargestWrite(const Settings& settings) {
    const auto width = static_cast<std::size_t>(std::clamp(settings.LineWidth, 0, 80));
    const auto lines = static_cast<std::size_t>(std::clamp(settings.LineCount, 0, kLinesPerSet));
    constexpr std::size_t kBa63Clear = 48;
    constexpr std::size_t kBa63Framing = 8; // cursor home and the line break
    return std::max({width * lines + 1, 2 * width + kBa63Framing, kBa63Clear});
}

} // namespace

DisplayDriver::DisplayDriver(platform::Ui& ui, platform::Comm& comm, platform::Form& timerOwner,
                             Settings& settings, NowPlaying& player)
    : DisplayDriver(ui, std::make_unique<SerialComponentLine>(ui.UiThreadCalls(), comm), timerOwner,
                    settings, player) {
    component_ = &static_cast<SerialComponentLine&>(*line_).Component();
}

DisplayDriver::DisplayDriver(platform::Ui& ui, std::unique_ptr<DisplayLine> line,
                             platform::Form& timerOwner, Settings& settings, NowPlaying& player)
    : ui_(ui), settings_(settings), line_(std::move(line)), displayPort_(line_),
      engine_(settings, player, displayPort_) {
    line_->OnTrouble = [this](LineTrouble trouble) { OnLineTrouble(trouble); };

    // clang-format off
    static constexpr TimerRow kTimers[] = {
        // Key                         Name              Interval Running Tick
        {DriverTimer::InitCommand,   "Timer4",         1000,    false,  &DisplayDriver::OnInitCommandTick},
        {DriverTimer::StartLineFeed, "Timer6",         250,     false,  &DisplayDriver::OnStartLineFeedTick},
        {DriverTimer::Refresh,       "Timer5",         300,     false,  &DisplayDriver::OnRefreshTick},
        {DriverTimer::BannerEnd,     "Timer7",         4000,    false,  &DisplayDriver::OnBannerEndTick},
        // Opening the port again after its device went away; interval set as it runs.
        {DriverTimer::Reconnect,     "ReconnectTimer", 1000,    false,  &DisplayDriver::OnReconnectTick},
    };
    // clang-format on
    static_assert(std::size(kTimers) == static_cast<std::size_t>(DriverTimer::Count));
    static_assert(platform::RowsInIdOrder(kTimers));
    platform::CreateTimers(timerOwner, kTimers, *this, timers_);
}

DisplayDriver::~DisplayDriver() {
    for (platform::Timer* timer : timers_) {
        timer->SetEnabled(false);
    }
    line_.reset();
}

void DisplayDriver::ShowState(bool on) {
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
    Timer(DriverTimer::BannerEnd).SetEnabled(running);
    engine_.SetBannerPeriod(running);
}

void DisplayDriver::EndBannerPeriod() {
    SetBannerPeriod(false);
}

void DisplayDriver::OnRefreshTick() {
    engine_.RefreshTick();
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
    const std::uint32_t bound = WireTime(LargestWrite(settings_), line->BaudRate()) + kQuitGrace;
    const auto writeEnded = [line] { return !line->SendPending(); };
    ui_.ServeCallsUntil(writeEnded, bound);
    engine_.ClearDisplay();
    ui_.ServeCallsUntil(writeEnded, bound);
    ui_.ServeCallsUntil([] { return false; }, kStatusSettle);
    ui_.ServeCallsUntil([line] { return line->OutQueueBytes() == 0; }, bound);
    line_.reset();
    component_ = nullptr;
}

} // namespace lum
