#pragma once
// Pictures saved as PNG files (libpng).

#include "ui/dotmatrix/Renderer.h"

#include <string>

namespace lum::vfd {

/// Writes `image` to `path` as an 8-bit RGB PNG; answers an explanation of the failure, or an
/// empty text.
[[nodiscard]] std::string WritePng(const dotmatrix::Image& image, const std::string& path);

} // namespace lum::vfd
