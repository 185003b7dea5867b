#pragma once
// Reading UTF-8: one well-formed sequence at a time, and cuts that never split one; writing one
// character.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lum {

/// A well-formed UTF-8 sequence: its code point and its length in bytes.
struct Utf8Character {
    char32_t CodePoint;
    std::size_t Length;
};

/// The character whose sequence starts at `text[at]` (`at` below text.size()); none for a byte
/// that starts no well-formed sequence (a stray continuation byte, a cut or overlong sequence, a
/// surrogate, a value past U+10FFFF).
[[nodiscard]] std::optional<Utf8Character> DecodeUtf8At(std::string_view text, std::size_t at);

/// The length of `text` cut to at most `maxBytes` bytes without splitting a character (at most
/// three bytes less than `maxBytes` when the text is cut).
[[nodiscard]] std::size_t Utf8CutLength(std::string_view text, std::size_t maxBytes);

/// Appends `codePoint` (at most U+10FFFF, no surrogate) to `utf8` in UTF-8.
void AppendUtf8(std::string& utf8, char32_t codePoint);

} // namespace lum
