#pragma once
// The stand-in host's event lines on standard output: one event a line, flushed at once, so
// tests and demos can follow the host while it runs.

#include <string_view>

namespace lum::host {

/// Writes one event line ("loaded ...", "command ...", "messagebox ...", "exit").
void EmitEvent(std::string_view line);

} // namespace lum::host
