#pragma once
// lumctl id3: the ID3v1 tag of a file as the display engine reads it.

#include "display/ExtractID3.h"

#include <string>

namespace lum::tools {

/// The fields of `tag`, one "Name=value" line each: texts in double quotes in the escaped form,
/// Track and Genre as numbers, and the genre's name.
[[nodiscard]] std::string Id3ToText(const TID3Info& tag);

} // namespace lum::tools
