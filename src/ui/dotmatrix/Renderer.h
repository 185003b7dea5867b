#pragma once
// Dot-matrix pictures in the look of a vacuum fluorescent display: lit dots glow cyan-green on
// near-black glass, unlit dots stay faintly visible, and four brightness levels dim the lit
// dots. Draws character cells, lines of text (large lettering too, by the dot pitch) and whole
// displays into an RGB picture. The plug-in's pictures and the virtual display use it.

#include "platform/Ui.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lum::dotmatrix {

/// An RGB picture, 0xRRGGBB a pixel, rows from the top.
using Image = platform::Picture;

/// How the dots look.
struct DotStyle {
    int Pitch = 4;                  ///< pixels from one dot's centre to the next
    int DotSize = 3;                ///< the lit core of a dot, in pixels across
    platform::Rgb Lit = 0x4DFFD2;   ///< a lit dot at full brightness
    platform::Rgb Unlit = 0x0B211D; ///< an unlit dot
    platform::Rgb Glass = 0x050908; ///< the background
    bool Glow = true;               ///< a soft halo around lit dots
};

/// The brightness levels of the display: 0 is the brightest ("Hell 4"), 3 the dimmest.
inline constexpr int kBrightnessLevels = 4;

/// An image of `width` x `height` filled with `color`.
[[nodiscard]] Image BlankImage(int width, int height, platform::Rgb color);

/// Pixels a line of `cells` characters takes, and its height.
[[nodiscard]] int TextWidth(std::size_t cells, const DotStyle& style);
[[nodiscard]] int TextHeight(const DotStyle& style);

/// Draws `text` (Windows-1252) with its first cell's upper left dot centred near (`x`, `y`),
/// cells one dot apart. A byte without a glyph shows as a block.
void DrawText(Image& image, int x, int y, std::string_view text, const DotStyle& style,
              int brightness = 0);

/// Pixels a display of `columns` x `lines` cells takes, bezel included.
[[nodiscard]] int DisplayWidth(int columns, const DotStyle& style);
[[nodiscard]] int DisplayHeight(int lines, const DotStyle& style);

/// Draws a character display showing `lines` (each padded or cut to `columns` cells) at
/// (`x`, `y`): a dark bezel around the glass with the cells, lines two dots apart.
void DrawDisplay(Image& image, int x, int y, const std::vector<std::string>& lines, int columns,
                 const DotStyle& style, int brightness = 0);

} // namespace lum::dotmatrix
