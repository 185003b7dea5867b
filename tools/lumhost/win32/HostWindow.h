#pragma once
// The stand-in host's window: answers the plug-in's queries from the simulated player, acts on
// its transport commands, runs the commands read from standard input, and shows the current
// entry, state and time.

#include "host/PluginRecord.h"
#include "tools/common/PlayerHost.h"
#include "tools/lumhost/HostDispatch.h"
#include "tools/lumhost/OpenHandles.h"

#include <string>
#include <windows.h>

namespace lum::host {

/// The host window and the plug-in it has loaded.
class HostWindow final : private HostJobs {
public:
    explicit HostWindow(SimulatedPlayer player);

    /// Creates and shows the window; false when that fails.
    [[nodiscard]] bool Create(const std::string& caption);
    [[nodiscard]] HWND Handle() const { return window_; }

    /// Hands the loaded plug-in to the window: writes the record's window fields and calls init.
    void AttachPlugin(HMODULE module, PluginRecord* record);

    /// Runs one command on the window's thread; safe to call from any thread (it blocks until
    /// the command is done). Returns why a player command was refused, empty when it ran.
    [[nodiscard]] std::string RunCommand(const HostCommand& command);

    /// True once the plug-in has been quit and unloaded and the window is gone.
    [[nodiscard]] bool Finished() const { return quitting_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    std::string Execute(const HostCommand& command);
    void Config() override;
    void Quit() override;
    void ListWindows() override;
    [[nodiscard]] std::size_t OpenHandles() override { return CountOpenHandles(); }
    [[nodiscard]] std::string DriveControl(const HostCommand& command) override;
    void Paint();

    PlayerHost host_;
    HWND window_ = nullptr;
    HMODULE module_ = nullptr;
    PluginRecord* record_ = nullptr;
    bool quitting_ = false;
};

} // namespace lum::host
