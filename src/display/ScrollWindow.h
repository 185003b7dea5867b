#pragma once
// The scroll rule of a display line: an expanded line longer than the line's width is followed
// by the separator and shown as a window of `width` characters into that scroll text repeated
// end to end, starting at the line's scroll offset; a line that fits is shown as it is. The
// display frames and the dialog's preview cut their lines by it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lum {

/// The length of a line's scroll text: the expanded length, plus the separator's when the line
/// is longer than `width`.
[[nodiscard]] std::int64_t ScrollTextLength(std::size_t expandedLength, std::size_t separatorLength,
                                            std::size_t width);

/// Appends the `width` characters a line shows to `out`: for an expanded text longer than
/// `width`, the characters of (text + separator) written twice in a row from `offset` on (a
/// negative offset counts as 0; past the second copy only blanks remain); otherwise the text.
/// Padded with blanks to `width`.
void AppendScrollWindow(std::string& out, std::string_view expanded, std::string_view separator,
                        std::int64_t offset, std::size_t width);

/// The `width` characters a line shows, as AppendScrollWindow appends them.
[[nodiscard]] std::string ScrollWindow(std::string_view expanded, std::string_view separator,
                                       std::int64_t offset, std::size_t width);

} // namespace lum
