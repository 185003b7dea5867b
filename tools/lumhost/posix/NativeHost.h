#pragma once
// The native lumhost's host: the simulated player behind an in-process host window, the plug-in
// loaded on the headless platform, the commands of standard input carried out on the
// user-interface thread, and the plug-in's message boxes reported and answered with OK at once.

#include "platform/headless/HeadlessUi.h"
#include "tools/common/HostModel.h"
#include "tools/common/PlayerHost.h"
#include "tools/lumhost/HostDispatch.h"
#include "tools/lumhost/OpenHandles.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace lum {
struct PluginRecord;
}

namespace lum::host {

/// The player, the plug-in and the commands, all on the user-interface thread of `ui`.
class NativeHost final : private HostJobs {
public:
    /// `clock`: the player's milliseconds, on the user-interface thread's loop.
    NativeHost(platform::headless::HeadlessUi& ui, SimulatedPlayer player,
               std::function<std::uint64_t()> clock);
    NativeHost(const NativeHost&) = delete;
    NativeHost& operator=(const NativeHost&) = delete;

    /// Loads the plug-in as the player does (the export, the record's window, init) and
    /// reports "loaded <description>".
    void Load();
    /// Carries out one command; answers why a player command was refused, empty when it ran.
    [[nodiscard]] std::string Execute(const HostCommand& command);
    /// True once the plug-in has been quit and unloaded.
    [[nodiscard]] bool Finished() const { return finished_; }

private:
    void Config() override;
    void Quit() override;
    void ListWindows() override;
    [[nodiscard]] std::size_t OpenHandles() override { return CountOpenHandles(); }
    [[nodiscard]] std::string DriveControl(const HostCommand& command) override;

    platform::headless::HeadlessUi& ui_;
    PlayerHost player_;
    std::unique_ptr<AttachedHost> attached_;
    PluginRecord* record_ = nullptr;
    bool finished_ = false;
};

} // namespace lum::host
