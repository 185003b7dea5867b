#pragma once
// What the plug-in runs on: the windowing layer of the host's user-interface thread and the
// communications functions of the serial port. The host's process gives the system's; tests
// and native runs give their own.

#include "platform/Comm.h"
#include "platform/Ui.h"

namespace lum {

/// The platform the plug-in's windows and serial port use.
struct PluginEnvironment {
    platform::Ui& Ui;
    platform::Comm& Comm;
};

/// Makes the next load use `environment` instead of the system's windowing layer and comm
/// functions; null goes back to the system's. `environment` must outlive the plug-in's unload.
void UsePluginEnvironment(const PluginEnvironment* environment);

} // namespace lum
