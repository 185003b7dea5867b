#pragma once
// Which tty a COM port name opens on Linux: /dev/ttyS(n-1) for "COMn" unless a path has been set
// for it, the way Wine's registry maps COM ports. Tests and native runs point COM1 at a pty.

#include <string>

namespace lum::platform::posix {

/// Makes "COM<number>" open `path` (empty: /dev/ttyS(number-1) again).
void SetComPortPath(unsigned number, std::string path);

/// The path set for "COM<number>", or empty.
[[nodiscard]] std::string ComPortPath(unsigned number);

} // namespace lum::platform::posix
