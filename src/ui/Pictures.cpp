#include "ui/Pictures.h"

#include "display/DisplayEngine.h"
#include "ui/Addresses.h"

#include <string>

namespace lum::ui {

namespace {

using dotmatrix::DotStyle;
using dotmatrix::Image;

constexpr platform::Rgb kBackground = 0x000000;
constexpr std::string_view kTitle = "Lum Plugin";
constexpr std::string_view kVersion = "Version 2.4 SE";
constexpr std::string_view kMaker = "the Lum team";

DotStyle Style(int pitch, int dotSize) {
    DotStyle style;
    style.Pitch = pitch;
    style.DotSize = dotSize;
    style.Glass = kBackground;
    return style;
}

/// The address without its scheme, as a banner shows it.
std::string ShownAddress(std::string_view address) {
    const auto scheme = address.find("://");
    std::string shown(scheme == std::string_view::npos ? address : address.substr(scheme + 3));
    if (!shown.empty() && shown.back() == '/') {
        shown.pop_back();
    }
    return shown;
}

/// Draws `text` centred across `image` with its top at `y`.
void Centred(Image& image, int y, std::string_view text, const DotStyle& style) {
    dotmatrix::DrawText(image, (image.Width - dotmatrix::TextWidth(text.size(), style)) / 2, y,
                        text, style);
}

/// A display of `columns` x 2 showing `lines`, centred across `image` with its top at `y`.
void CentredDisplay(Image& image, int y, const std::vector<std::string>& lines, int columns,
                    const DotStyle& style) {
    dotmatrix::DrawDisplay(image, (image.Width - dotmatrix::DisplayWidth(columns, style)) / 2, y,
                           lines, columns, style);
}

void FillRect(Image& image, int left, int top, int width, int height, platform::Rgb color) {
    for (int y = std::max(top, 0); y < std::min(top + height, image.Height); ++y) {
        for (int x = std::max(left, 0); x < std::min(left + width, image.Width); ++x) {
            image.Pixels[static_cast<std::size_t>(y * image.Width + x)] = color;
        }
    }
}

} // namespace

Image SplashPicture() {
    Image image = dotmatrix::BlankImage(440, 250, kBackground);
    Centred(image, 24, kTitle, Style(6, 5));
    CentredDisplay(image, 100, {std::string(kBannerLine1), std::string(kBannerLine2)}, 20,
                   Style(3, 2));
    const DotStyle small = Style(2, 1);
    dotmatrix::DrawText(image, image.Width - dotmatrix::TextWidth(kVersion.size(), small) - 10,
                        image.Height - dotmatrix::TextHeight(small) - 10, kVersion, small);
    return image;
}

Image AboutPicture() {
    Image image = dotmatrix::BlankImage(320, 240, kBackground);
    Centred(image, 12, kTitle, Style(5, 4));
    // A notebook computer: its screen and keyboard in grey, the display in front of it.
    constexpr platform::Rgb kCase = 0x3A3F3E;
    constexpr platform::Rgb kScreen = 0x10201C;
    FillRect(image, 166, 70, 146, 96, kCase);
    FillRect(image, 172, 76, 134, 84, kScreen);
    FillRect(image, 154, 166, 162, 12, kCase);
    dotmatrix::DrawText(image, 190, 108, "COM1", Style(3, 2));
    dotmatrix::DrawDisplay(image, 8, 100, {"Winamp", "Lum 2.4"}, 8, Style(3, 2));
    Centred(image, 204, kMaker, Style(3, 2));
    return image;
}

Image VariablesBanner() {
    Image image = dotmatrix::BlankImage(413, 30, kBackground);
    Centred(image, 5, ShownAddress(kProductPage), Style(3, 2));
    return image;
}

Image DialogBanner() {
    Image image = dotmatrix::BlankImage(417, 33, kBackground);
    Centred(image, 6, ShownAddress(kProductPage), Style(3, 2));
    return image;
}

Image DialogDecoration() {
    Image image = dotmatrix::BlankImage(321, 161, kBackground);
    CentredDisplay(image, 30, {"  Lum Plugin", "  2.4 SE"}, 14, Style(3, 2));
    Centred(image, 120, "Einstellungen", Style(2, 1));
    return image;
}

} // namespace lum::ui
