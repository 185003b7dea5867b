#include "plugin/PluginDriverHost.h"

#include "common/TableOrder.h"

#include <iterator>
#include <string_view>
#include <utility>

namespace lum {
namespace {

/// The window a timer lives on.
enum class TimerWindow { Main, Dialog };

/// Where a driver timer lives in the plug-in, and its name there.
struct TimerPlace {
    DriverTimer Role;
    TimerWindow Window;
    std::string_view Name;
};

// clang-format off
constexpr TimerPlace kPlaces[] = {
    // Role                        Window               Name
    {DriverTimer::InitCommand,   TimerWindow::Main,   "Timer4"},
    {DriverTimer::StartLineFeed, TimerWindow::Main,   "Timer6"},
    {DriverTimer::Refresh,       TimerWindow::Main,   "Timer5"},
    {DriverTimer::BannerEnd,     TimerWindow::Main,   "Timer7"},
    {DriverTimer::Reconnect,     TimerWindow::Main,   "ReconnectTimer"},
    {DriverTimer::Rotation,      TimerWindow::Dialog, "Timer3"},
};
// clang-format on
static_assert(std::size(kPlaces) == static_cast<std::size_t>(DriverTimer::Count));
static_assert(RowsInEnumOrder<&TimerPlace::Role>(kPlaces));

} // namespace

PluginDriverHost::PluginDriverHost(platform::Ui& ui, platform::Form& mainWindow,
                                   std::function<platform::Form&()> dialog)
    : ui_(ui), mainWindow_(mainWindow), dialog_(std::move(dialog)) {}

platform::Timer& PluginDriverHost::Timer(DriverTimer role) {
    const auto at = static_cast<std::size_t>(role);
    if (timers_[at] == nullptr) {
        const TimerPlace& place = kPlaces[at];
        platform::Form& window = place.Window == TimerWindow::Main ? mainWindow_ : dialog_();
        timers_[at] = &window.AddTimer(place.Name, 0, false);
    }
    return *timers_[at];
}

} // namespace lum
