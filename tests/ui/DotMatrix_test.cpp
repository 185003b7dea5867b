// The dot-matrix font and renderer: glyph lookup, picture geometry, the dots of a glyph where
// they belong, and brightness levels that dim the lit dots in order.
#include "ui/dotmatrix/Font5x7.h"
#include "ui/dotmatrix/Renderer.h"

#include <gtest/gtest.h>

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

TEST(Renderer, LitDotsFollowTheGlyph) {
    DotStyle style;
    style.Pitch = 2;
    style.DotSize = 1;
    style.Glow = false;
    Image image = BlankImage(TextWidth(1, style), TextHeight(style), style.Glass);
    DrawText(image, 0, 0, "T", style);
    const Glyph glyph = *GlyphOf('T');
    for (int row = 0; row < kGlyphRows; ++row) {
        for (int column = 0; column < kGlyphColumns; ++column) {
            EXPECT_EQ(PixelAt(image, column * 2, row * 2),
                      DotLit(glyph, column, row) ? style.Lit : style.Unlit)
                << column << "," << row;
            if (column + 1 < kGlyphColumns) {
                EXPECT_EQ(PixelAt(image, column * 2 + 1, row * 2), style.Glass) << "between dots";
            }
        }
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

TEST(Renderer, DrawingStaysInsideThePicture) {
    const DotStyle style;
    Image image = BlankImage(30, 20, 0);
    DrawDisplay(image, -10, -10, {"too wide for the picture"}, 24, style);
    DrawText(image, 25, 15, "xyz", style, 9);
    EXPECT_EQ(image.Pixels.size(), 600u);
}

} // namespace
} // namespace lum::dotmatrix
