#pragma once
// The known name nearest to a misspelt one, for "unknown key display.bud (did you mean
// display.baud?)".

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lum::lumd {

/// The number of single-character insertions, deletions, replacements and swaps of two neighbours
/// that turn `a` into `b`.
[[nodiscard]] std::size_t EditDistance(std::string_view a, std::string_view b);

/// The name among `known` nearest to `given`: the first of the nearest, when it is near enough to
/// be a slip (at most a third of the longer name's characters differ, and at least one stays).
[[nodiscard]] std::optional<std::string> NearestName(std::string_view given,
                                                     std::span<const std::string> known);

} // namespace lum::lumd
