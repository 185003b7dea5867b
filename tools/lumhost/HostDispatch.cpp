#include "tools/lumhost/HostDispatch.h"

#include "tools/lumhost/EventLog.h"

namespace lum::host {

std::string DispatchHostCommand(const HostCommand& command, PlayerHost& player, HostJobs& jobs) {
    switch (command.Kind) {
    case HostCommandKind::Config:
        jobs.Config();
        return {};
    case HostCommandKind::Quit:
        jobs.Quit();
        return {};
    case HostCommandKind::Windows:
        jobs.ListWindows();
        return {};
    case HostCommandKind::Resources:
        EmitEvent("resources handles=" + std::to_string(jobs.OpenHandles()));
        return {};
    case HostCommandKind::Echo:
        EmitEvent("echo " + command.Target);
        return {};
    case HostCommandKind::Click:
    case HostCommandKind::Key:
    case HostCommandKind::SetText:
    case HostCommandKind::Check:
    case HostCommandKind::SelectItem:
    case HostCommandKind::Page:
        if (const std::string problem = jobs.DriveControl(command); !problem.empty()) {
            EmitEvent("error " + problem);
        }
        return {};
    default:
        return player.Run(command).value_or(std::string());
    }
}

} // namespace lum::host
