#pragma once
// The display in a terminal: its cells inside a frame, lit in the display's colour at its
// brightness (24-bit ANSI colours), with a status line; redrawn in place. The cells' bytes show
// as the display's character set has them, in UTF-8; a byte without a character as a block.

#include "common/DisplayCharset.h"
#include "tools/vfd/CharacterDisplay.h"

#include <string>

namespace lum::vfd {

/// The text that draws `display` of character set `set` with `status` below it. With
/// `moveBack`, the cursor first goes back up over a drawing of the same size, so that the new one
/// replaces it.
[[nodiscard]] std::string TerminalDrawing(const CharacterDisplay& display,
                                          const DisplayCharset& set, const std::string& status,
                                          bool moveBack);

/// The display's cells as plain text in UTF-8, a line each.
[[nodiscard]] std::string PlainText(const CharacterDisplay& display, const DisplayCharset& set);

/// The cells of a line as the display shows them, in UTF-8.
[[nodiscard]] std::string ShownText(std::string_view cells, const DisplayCharset& set);

} // namespace lum::vfd
