#pragma once
// A 5 x 7 dot-matrix font for the display's character cells: every printable ASCII character
// (0x20-0x7E) and, of Windows-1252, the German letters and a few signs. A glyph is seven rows
// from the top; in each row bit 4 is the leftmost dot and bit 0 the rightmost.

#include <array>
#include <cstdint>
#include <optional>

namespace lum::dotmatrix {

/// Dots across and down a glyph.
inline constexpr int kGlyphColumns = 5;
inline constexpr int kGlyphRows = 7;

/// The dots of one character.
using Glyph = std::array<std::uint8_t, kGlyphRows>;

/// The glyph of Windows-1252 byte `code`, or nothing when the font has none.
[[nodiscard]] std::optional<Glyph> GlyphOf(std::uint8_t code);

/// The glyph a display shows for a byte the font lacks: every dot lit.
inline constexpr Glyph kBlockGlyph = {0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F};

/// True when dot (`column`, `row`) of `glyph` is lit.
[[nodiscard]] constexpr bool DotLit(const Glyph& glyph, int column, int row) {
    return ((glyph[static_cast<std::size_t>(row)] >> (kGlyphColumns - 1 - column)) & 1) != 0;
}

} // namespace lum::dotmatrix
