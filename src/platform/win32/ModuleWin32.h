#pragma once
// The module (DLL or program) that holds the platform layer's code.

#include <windows.h>

namespace lum::platform::win32 {

/// The module that holds this code: the plug-in DLL, or the program it is linked into.
[[nodiscard]] HINSTANCE ThisModule();

} // namespace lum::platform::win32
