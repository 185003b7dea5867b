// The dot-matrix font and renderer: glyph lookup, picture geometry, glyphs as drawn out by hand,
// drawing cut at the picture's edges, and brightness levels that dim the lit dots in order.
#include "ui/dotmatrix/Font5x7.h"
#include "ui/dotmatrix/Renderer.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace lum::dotmatrix {
namespace {

platform::Rgb PixelAt(const Image& image, int x, int y) {
    return image.Pixels.at(static_cast<std::size_t>(y * image.Width + x));
}

int Green(platform::Rgb color) {
    return static_cast<int>((color >> 8) & 0xFF);
}

TEST(Font5x7, CoversAsciiAndTheGermanLetters) {
    for (int code = 0x20; code <= 0x7E; ++code) {
        EXPECT_TRUE(GlyphOf(static_cast<std::uint8_t>(code)).has_value()) << code;
    }
    for (const std::uint8_t letter : {0xE4, 0xF6, 0xFC, 0xC4, 0xD6, 0xDC, 0xDF}) {
        EXPECT_TRUE(GlyphOf(letter).has_value()) << static_cast<int>(letter);
    }
    EXPECT_FALSE(GlyphOf(0x07).has_value());
    EXPECT_FALSE(GlyphOf(0x81).has_value());
    EXPECT_EQ(*GlyphOf(' '), (Glyph{}));
}

TEST(Renderer, Geometry) {
    const struct {
        int Pitch, DotSize;
        std::size_t Cells;
        int Width, Height;
    } cases[] = {{4, 3, 1, 19, 27}, {4, 3, 20, 475, 27}, {1, 1, 2, 11, 7}, {6, 5, 0, 0, 41}};
    for (const auto& c : cases) {
        DotStyle style;
        style.Pitch = c.Pitch;
        style.DotSize = c.DotSize;
        EXPECT_EQ(TextWidth(c.Cells, style), c.Width);
        EXPECT_EQ(TextHeight(style), c.Height);
    }
    const DotStyle style;
    EXPECT_EQ(DisplayWidth(20, style), 475 + 16);
    EXPECT_EQ(DisplayHeight(2, style), 2 * 27 + 8 + 16);
}

// The picture of `text` drawn at (`x`, `y`) into `width` x `height` pixels of glass, one pixel a
// dot and no halo: '#' a lit dot, '.' an unlit one, ' ' the glass, '?' any other colour.
std::vector<std::string> Drawn(int width, int height, int x, int y, std::string_view text) {
    DotStyle style;
    style.Pitch = 1;
    style.DotSize = 1;
    style.Glow = false;
    Image image = BlankImage(width, height, style.Glass);
    DrawText(image, x, y, text, style);
    std::vector<std::string> rows;
    for (int row = 0; row < height; ++row) {
        std::string& dots = rows.emplace_back();
        for (int column = 0; column < width; ++column) {
            const platform::Rgb pixel = PixelAt(image, column, row);
            dots += pixel == style.Lit     ? '#'
                    : pixel == style.Unlit ? '.'
                    : pixel == style.Glass ? ' '
                                           : '?';
        }
    }
    return rows;
}

TEST(Renderer, CellsShowTheirGlyphsOneDotApart) {
    // 'A', '0', a umlaut and a byte without a glyph (a block), as a display shows them.
    // clang-format off
    const std::vector<std::string> expected = {
        ".###. .###. .#.#. #####",
        "#...# #...# ..... #####",
        "#...# #..## .###. #####",
        "#...# #.#.# ....# #####",
        "##### ##..# .#### #####",
        "#...# #...# #...# #####",
        "#...# .###. .#### #####",
    };
    // clang-format on
    EXPECT_EQ(Drawn(23, 7, 0, 0, "A0\xE4\x7F"), expected);
}

TEST(Renderer, DrawingIsCutAtThePicturesEdges) {
    const struct {
        int X, Y;
        const char* Text;
        std::vector<std::string> Picture;
    } cases[] = {
        // Past the right edge and above the top: the block's dots do not wrap into the next row.
        {0, -3, "A\x7F", {"#...# ##", "##### ##", "#...# ##", "#...# ##", "        "}},
        // Past the left edge and below the bottom: nor into the row before.
        {-6, 3, "\x7FH", {"        ", "        ", "        ", "#...#   ", "#...#   "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(Drawn(8, 5, c.X, c.Y, c.Text), c.Picture);
    }
}

TEST(Renderer, BrightnessLevelsDimTheLitDots) {
    const DotStyle style;
    int previous = 256;
    for (int level = 0; level < kBrightnessLevels; ++level) {
        Image image = BlankImage(TextWidth(1, style), TextHeight(style), style.Glass);
        DrawText(image, 0, 0, "\x7F", style, level); // a byte without glyph: every dot lit
        const int green = Green(PixelAt(image, 1, 1));
        EXPECT_LT(green, previous) << "level " << level;
        EXPECT_GT(green, Green(style.Unlit)) << "a lit dot stays brighter than an unlit one";
        previous = green;
    }
}

} // namespace
} // namespace lum::dotmatrix
