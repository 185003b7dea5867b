#pragma once
// The main window's mirror of the host's title: a title of up to 40 characters is shown whole;
// a longer one runs to the left, one character a tick, through the title, the separator and
// the title again.

#include <cstdint>
#include <string>
#include <string_view>

namespace lum {

/// Characters the title field shows.
inline constexpr std::size_t kMirrorWidth = 40;

/// The scroll state of the mirrored title.
struct MirrorState {
    std::int64_t MirrorOffset = 0;      ///< scroll position in title + separator + title
    std::int64_t MirrorTitleLength = 0; ///< length of the last title that needed scrolling
};

/// One mirror step for `title` (its umlauts already replaced) and `separator`: the text the
/// title field shows now. A long title of the same length as the previous long one continues
/// from the current offset; any other starts at its beginning.
[[nodiscard]] std::string MirrorTitleStep(std::string_view title, std::string_view separator,
                                          MirrorState& state);

} // namespace lum
