#pragma once
// The three callbacks the host calls through the plug-in record.

#include <cstdint>

namespace lum {

/// Called by the host after it has written the record's window fields; returns 0 (success) and
/// does nothing else.
std::int32_t PluginInit();

/// Called by the host to show the configuration dialog. The dialog does not exist yet, so this
/// does nothing for now.
void PluginConfig();

/// Called by the host before it unloads the library: clears the display and releases the serial
/// port. Neither exists yet, so this does nothing for now.
void PluginQuit();

} // namespace lum
