#include "ui/dotmatrix/Renderer.h"

#include "ui/dotmatrix/Font5x7.h"

#include <algorithm>
#include <cmath>

namespace lum::dotmatrix {

namespace {

/// Share of full brightness of the lit dots at each level.
constexpr double kBrightness[kBrightnessLevels] = {1.0, 0.72, 0.5, 0.32};
/// Dots between two cells of a line, and between two lines.
constexpr int kCellGap = 1;
constexpr int kLineGap = 2;
/// The bezel around a display's glass, in dot pitches.
constexpr int kBezel = 2;
constexpr platform::Rgb kBezelColor = 0x161A19;

struct Color {
    double R, G, B;
};

Color ToColor(platform::Rgb rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

platform::Rgb ToRgb(const Color& color) {
    const auto channel = [](double value) {
        return static_cast<platform::Rgb>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
    };
    return (channel(color.R) << 16) | (channel(color.G) << 8) | channel(color.B);
}

Color Scaled(const Color& color, double factor) {
    return {color.R * factor, color.G * factor, color.B * factor};
}

/// Light added on top of what is there, as light adds up: never past full.
void AddLight(Image& image, int x, int y, const Color& light) {
    if (x < 0 || y < 0 || x >= image.Width || y >= image.Height) {
        return;
    }
    platform::Rgb& pixel = image.Pixels[static_cast<std::size_t>(y * image.Width + x)];
    const Color base = ToColor(pixel);
    pixel = ToRgb({1 - (1 - base.R) * (1 - light.R), 1 - (1 - base.G) * (1 - light.G),
                   1 - (1 - base.B) * (1 - light.B)});
}

void FillRect(Image& image, int left, int top, int width, int height, platform::Rgb color) {
    for (int y = std::max(top, 0); y < std::min(top + height, image.Height); ++y) {
        for (int x = std::max(left, 0); x < std::min(left + width, image.Width); ++x) {
            image.Pixels[static_cast<std::size_t>(y * image.Width + x)] = color;
        }
    }
}

/// One dot whose core's upper left corner is (`left`, `top`).
void DrawDot(Image& image, int left, int top, bool lit, const DotStyle& style, double level) {
    if (!lit) {
        FillRect(image, left, top, style.DotSize, style.DotSize, style.Unlit);
        return;
    }
    const Color light = Scaled(ToColor(style.Lit), level);
    FillRect(image, left, top, style.DotSize, style.DotSize, ToRgb(light));
    if (!style.Glow) {
        return;
    }
    // A halo that fades over about one pitch around the core.
    const double centreX = left + (style.DotSize - 1) / 2.0;
    const double centreY = top + (style.DotSize - 1) / 2.0;
    const double reach = style.Pitch;
    const int extent = static_cast<int>(std::ceil(reach)) + style.DotSize;
    for (int y = top - extent; y <= top + extent; ++y) {
        for (int x = left - extent; x <= left + extent; ++x) {
            const double distance = std::hypot(x - centreX, y - centreY);
            if (distance < reach) {
                const double fade = 1 - distance / reach;
                AddLight(image, x, y, Scaled(light, 0.35 * fade * fade));
            }
        }
    }
}

void DrawGlyph(Image& image, int x, int y, std::uint8_t code, const DotStyle& style, double level) {
    const Glyph glyph = GlyphOf(code).value_or(kBlockGlyph);
    for (int row = 0; row < kGlyphRows; ++row) {
        for (int column = 0; column < kGlyphColumns; ++column) {
            DrawDot(image, x + column * style.Pitch, y + row * style.Pitch,
                    DotLit(glyph, column, row), style, level);
        }
    }
}

double LevelFactor(int brightness) {
    return kBrightness[std::clamp(brightness, 0, kBrightnessLevels - 1)];
}

} // namespace

Image BlankImage(int width, int height, platform::Rgb color) {
    Image image;
    image.Width = std::max(width, 0);
    image.Height = std::max(height, 0);
    image.Pixels.assign(static_cast<std::size_t>(image.Width) * image.Height, color);
    return image;
}

int TextWidth(std::size_t cells, const DotStyle& style) {
    if (cells == 0) {
        return 0;
    }
    const auto dots = static_cast<int>(cells) * (kGlyphColumns + kCellGap) - kCellGap;
    return (dots - 1) * style.Pitch + style.DotSize;
}

int TextHeight(const DotStyle& style) {
    return (kGlyphRows - 1) * style.Pitch + style.DotSize;
}

void DrawText(Image& image, int x, int y, std::string_view text, const DotStyle& style,
              int brightness) {
    const double level = LevelFactor(brightness);
    for (std::size_t cell = 0; cell < text.size(); ++cell) {
        const int left = x + static_cast<int>(cell) * (kGlyphColumns + kCellGap) * style.Pitch;
        DrawGlyph(image, left, y, static_cast<std::uint8_t>(text[cell]), style, level);
    }
}

int DisplayWidth(int columns, const DotStyle& style) {
    return TextWidth(static_cast<std::size_t>(std::max(columns, 0)), style) +
           2 * kBezel * style.Pitch;
}

int DisplayHeight(int lines, const DotStyle& style) {
    const int rows = std::max(lines, 1);
    return rows * TextHeight(style) + (rows - 1) * kLineGap * style.Pitch +
           2 * kBezel * style.Pitch;
}

void DrawDisplay(Image& image, int x, int y, const std::vector<std::string>& lines, int columns,
                 const DotStyle& style, int brightness) {
    const int width = DisplayWidth(columns, style);
    const int height = DisplayHeight(static_cast<int>(lines.size()), style);
    const int bezel = kBezel * style.Pitch;
    FillRect(image, x, y, width, height, kBezelColor);
    FillRect(image, x + bezel / 2, y + bezel / 2, width - bezel, height - bezel, style.Glass);
    const int lineStep = TextHeight(style) + kLineGap * style.Pitch;
    for (std::size_t line = 0; line < lines.size(); ++line) {
        std::string cells = lines[line];
        cells.resize(static_cast<std::size_t>(std::max(columns, 0)), ' ');
        DrawText(image, x + bezel, y + bezel + static_cast<int>(line) * lineStep, cells, style,
                 brightness);
    }
}

} // namespace lum::dotmatrix
