#pragma once
// Windows-1252, the single-byte text of the plug-in and its display, and UTF-8, the text of Linux
// players and terminals:
//
//   0x00-0x7F   ASCII, the same in both
//   0x80-0x9F   27 characters of Windows-1252's own (0x80 "€", 0x92 "’", 0x96 "–", ...);
//               0x81, 0x8D, 0x8F, 0x90 and 0x9D hold none
//   0xA0-0xFF   Latin-1: the code points U+00A0-U+00FF

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lum {

/// `utf8` in Windows-1252: every character that has a Windows-1252 byte becomes that byte, every
/// other character its fold (TextFold.h: ł l, ‐ -) or, without one, '?', and so does every byte
/// that is no part of a well-formed UTF-8 sequence. At most the first `maxCharacters` bytes, and
/// nothing after them is read.
[[nodiscard]] std::string Utf8ToWindows1252(std::string_view utf8,
                                            std::size_t maxCharacters = std::string::npos);

/// The character of Windows-1252 byte `byte`; none for the five bytes that hold none.
[[nodiscard]] std::optional<char32_t> Windows1252CodePoint(std::uint8_t byte);

/// The Windows-1252 `bytes` in UTF-8; each of the five bytes that hold no character becomes
/// `unmapped`.
[[nodiscard]] std::string Windows1252ToUtf8(std::string_view bytes,
                                            std::string_view unmapped = "\uFFFD");

} // namespace lum
