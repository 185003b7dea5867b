#pragma once
// Text operations of the placeholder expansion on single-byte text.

#include <string>
#include <string_view>

namespace lum {

/// Position of the first occurrence of `name` in `text` at or after `from`, letter case ignored
/// (ASCII letters; no other Windows-1252 letter folds onto one); npos when there is none.
[[nodiscard]] std::size_t FindIgnoreCase(std::string_view text, std::string_view name,
                                         std::size_t from = 0);

/// Replaces every occurrence of `name` in `text`, scanning left to right without overlap and
/// without scanning inserted text again. `ignoreCase` matches ASCII letters in any case. Answers
/// whether there was one.
bool ReplaceAll(std::string& text, std::string_view name, std::string_view replacement,
                bool ignoreCase);

/// Replaces the umlauts of Windows-1252 text by two letters, in this order and letter case as
/// written: ä ae, ö oe, ü ue, Ä Ae, Ö Oe, Ü Ue. "ß" and every other character stay.
void ReplaceUmlauts(std::string& text);

/// `text` without blanks and control characters (codes 0-32 and 127) at either end.
[[nodiscard]] std::string_view TrimBlanksAndControls(std::string_view text);

/// Appends `text` to `out` with every control byte (below 0x20, and 0x7F) written as a blank, so
/// that text from outside cannot carry commands to the display.
void AppendWithoutControls(std::string& out, std::string_view text);

} // namespace lum
