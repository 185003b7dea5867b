#pragma once
// Splitting text read from a file or standard input into lines.

#include <string_view>
#include <vector>

namespace lum::tools {

/// The lines of `text`, each without its LF and a CR before it; no line follows a final LF.
[[nodiscard]] std::vector<std::string_view> SplitLines(std::string_view text);

} // namespace lum::tools
