#pragma once
// The native host says on standard error, once, that the display's port could not be opened
// and why; the plug-in itself stays silent and goes on as it does without a device.

namespace lum::host {

/// From now on the first failed open of a port is said as
/// "lumhost: PATH: cannot open the display's port: REASON".
void SayFirstPortOpenFailure();

} // namespace lum::host
