#pragma once
// The link to the host player's window: one synchronous message, as SendMessage sends it.

#include <cstdint>

namespace lum::platform {

/// Handle of a window, as the host writes it into the plug-in record.
using WindowHandle = void*;

/// Sends `message` to `window` and waits for its answer. A null handle, or one that names no
/// window, answers 0.
std::intptr_t SendWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam);

} // namespace lum::platform
