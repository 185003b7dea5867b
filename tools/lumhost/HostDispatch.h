#pragma once
// Which part of a stand-in host carries out a command: the player's commands go to the player,
// "echo" becomes an event, and the rest (config, quit, listing and driving the plug-in's
// windows) to the host's own jobs, which differ between the Windows and the native host.

#include "tools/common/HostCommand.h"
#include "tools/common/PlayerHost.h"

#include <cstddef>
#include <string>

namespace lum::host {

/// A host's own jobs, on its user-interface thread.
class HostJobs {
public:
    virtual ~HostJobs() = default;

    /// Calls the plug-in's config.
    virtual void Config() = 0;
    /// Calls the plug-in's quit and unloads it.
    virtual void Quit() = 0;
    /// Writes the plug-in's windows and controls as events.
    virtual void ListWindows() = 0;
    /// How many handles (Windows) or file descriptors (POSIX) the process holds open.
    [[nodiscard]] virtual std::size_t OpenHandles() = 0;
    /// Carries out a click, key, settext, check, select or page command; answers why it could
    /// not, or an empty text.
    [[nodiscard]] virtual std::string DriveControl(const HostCommand& command) = 0;
};

/// Carries out `command` (not sleep, which the reader waits out): answers why a player command
/// was refused, empty otherwise. A control command that fails is reported as "error <why>".
[[nodiscard]] std::string DispatchHostCommand(const HostCommand& command, PlayerHost& player,
                                              HostJobs& jobs);

} // namespace lum::host
