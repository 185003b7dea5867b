#pragma once
// Why a tty could not be opened as a port. The comm layer hands it on as a Windows error code,
// which loses the reason a user needs (missing, no terminal, in use, no permission); a program
// that runs the plug-in natively installs a handler here to hear the errno of every failed
// open. The plug-in itself stays silent.

#include <functional>
#include <string>

namespace lum::platform::posix {

/// Hears the device path and the errno value of a failed open: ENOTTY for a device that is no
/// terminal, EWOULDBLOCK when another opener holds the port's lock, EBUSY when another opener
/// has it exclusively, and what opening the path gave otherwise.
using PortOpenFailureHandler = std::function<void(const std::string& path, int error)>;

/// Makes `handler` hear every failed open from now on (an empty one: nobody does). It runs on
/// the opening thread.
void SetPortOpenFailureHandler(PortOpenFailureHandler handler);

/// Tells the handler, if one is set, that opening `path` failed with `error`.
void ReportPortOpenFailure(const std::string& path, int error);

} // namespace lum::platform::posix
