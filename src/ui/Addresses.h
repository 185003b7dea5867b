#pragma once
// The web pages the windows open: the product's page (the dialog's banner), where new versions
// are found (the about box) and how the display is connected (the about box).

#include <string_view>

namespace lum::ui {

inline constexpr std::string_view kProductPage = "https://lum-plugin.example.org/";
inline constexpr std::string_view kDownloadPage = "https://lum-plugin.example.org/download/";
inline constexpr std::string_view kConnectionPage = "https://lum-plugin.example.org/anschluss/";

} // namespace lum::ui
