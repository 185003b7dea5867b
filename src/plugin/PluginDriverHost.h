#pragma once
// The plug-in's DriverHost: the display driver's timers on the main window and the set rotation
// on the dialog, with the names they have always had (tools and tests find them by these), and
// the bounded wait serving the serial worker's synchronised calls. A tick that raises shows its
// error in a message box, as every window timer's does.

#include "driver/DriverHost.h"
#include "platform/Ui.h"

#include <array>
#include <functional>

namespace lum {

/// The driver's host in the plug-in.
class PluginDriverHost final : public DriverHost {
public:
    /// Timers go on `mainWindow`, and the rotation's on the form `dialog` gives (the dialog is
    /// created after the driver; it is asked for when the rotation's timer is first wanted).
    /// Each timer is created when first asked for, so the windows' timers keep their order.
    PluginDriverHost(platform::Ui& ui, platform::Form& mainWindow,
                     std::function<platform::Form&()> dialog);

    [[nodiscard]] platform::Timer& Timer(DriverTimer role) override;
    bool WaitUntil(const std::function<bool()>& done, std::uint32_t timeoutMs) override {
        return ui_.ServeCallsUntil(done, timeoutMs);
    }

private:
    platform::Ui& ui_;
    platform::Form& mainWindow_;
    std::function<platform::Form&()> dialog_;
    std::array<platform::Timer*, static_cast<std::size_t>(DriverTimer::Count)> timers_{};
};

} // namespace lum
