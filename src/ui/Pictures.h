#pragma once
// The plug-in's pictures, drawn at run time with the dot-matrix renderer (the DLL carries no
// picture files): the splash, the about box's picture, the variables window's banner, and the
// configuration dialog's banner and decoration, each in the size its window gives it.

#include "ui/dotmatrix/Renderer.h"

namespace lum::ui {

/// The splash's 440 x 250 picture: the product title in dot-matrix lettering above a display
/// showing the welcome banner, and the version in the lower right corner.
[[nodiscard]] dotmatrix::Image SplashPicture();

/// The about box's 320 x 240 picture: the title, a display beside a notebook computer, and the
/// maker's name.
[[nodiscard]] dotmatrix::Image AboutPicture();

/// The variables window's 413 x 30 banner: the maker's web address.
[[nodiscard]] dotmatrix::Image VariablesBanner();

/// The configuration dialog's 417 x 33 banner (a link to the product's page) and its 321 x 161
/// decoration.
[[nodiscard]] dotmatrix::Image DialogBanner();
[[nodiscard]] dotmatrix::Image DialogDecoration();

} // namespace lum::ui
