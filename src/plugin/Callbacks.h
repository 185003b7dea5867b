#pragma once
// The three callbacks the host calls through the plug-in record. None lets an exception out:
// errors are shown in a message box, like those of every other event.

#include <cstdint>

namespace lum {

/// Called by the host after it has written the record's window fields; returns 0 (success) and
/// does nothing else.
std::int32_t PluginInit();

/// Called by the host to show the configuration dialog, without waiting for it to close.
void PluginConfig();

/// Called by the host before it unloads the library: clears the display and releases the serial
/// port.
void PluginQuit();

} // namespace lum
