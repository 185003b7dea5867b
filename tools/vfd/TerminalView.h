#pragma once
// The display in a terminal: its cells inside a frame, lit in the display's colour at its
// brightness (24-bit ANSI colours), with a status line; redrawn in place.

#include "tools/vfd/CharacterDisplay.h"

#include <string>

namespace lum::vfd {

/// The text that draws `display` with `status` below it. With `moveBack`, the cursor first goes
/// back up over a drawing of the same size, so that the new one replaces it.
[[nodiscard]] std::string TerminalDrawing(const CharacterDisplay& display,
                                          const std::string& status, bool moveBack);

/// The display's cells as plain text, a line each (Windows-1252 bytes as they are).
[[nodiscard]] std::string PlainText(const CharacterDisplay& display);

} // namespace lum::vfd
