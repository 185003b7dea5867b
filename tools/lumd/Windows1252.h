#pragma once
// Text from the players arrives as UTF-8; the display engine works in single-byte Windows-1252.

#include <string>
#include <string_view>

namespace lum::lumd {

/// `utf8` in Windows-1252: every character that has a Windows-1252 byte becomes that byte, every
/// other character, and every byte that is no part of a well-formed UTF-8 sequence, becomes '?'.
/// At most the first `maxCharacters` characters (one byte each), and nothing after them is read.
[[nodiscard]] std::string Utf8ToWindows1252(std::string_view utf8,
                                            std::size_t maxCharacters = std::string::npos);

} // namespace lum::lumd
