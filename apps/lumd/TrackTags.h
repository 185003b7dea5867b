#pragma once
// The tags a player reports for its current entry, and what the display makes of them: the
// title "%titel" shows, and the ID3v1 record the "%id3..." placeholders show when the entry's file
// is not on this machine.

#include "display/ExtractID3.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lum::lumd {

/// The most characters of a player's text the display gets (the title, each tag field). The
/// widest display line holds 80; a title scrolls by one character a tick, so 1024 take five
/// minutes to pass at the usual refresh of 300 ms. A player's longer texts (a title of megabytes)
/// are cut there once, when they are converted, and never read further.
inline constexpr std::size_t kMaxTextLength = 1024;

/// An entry's tags in UTF-8, as the player reports them; empty when it has none.
struct TrackTags {
    std::string Artist{}; ///< several artists joined by ", "
    std::string Title{};
    std::string Album{};
    std::string Date{}; ///< "2001", "2001-05-03", "2001-05-03T00:00:00"
    std::string Comment{};
    std::string Genre{}; ///< a genre name, as "Rock"
    std::uint8_t Track = 0;

    friend bool operator==(const TrackTags&, const TrackTags&) = default;
};

/// The entry's title in Windows-1252: "Artist - Title", the title alone when there is no
/// artist, the file name of `uri` when there is no title; at most kMaxTextLength characters.
[[nodiscard]] std::string DisplayTitle(const TrackTags& tags, std::string_view uri);

/// The number of the genre named `name` (Windows-1252, any letter case) in GenreNames; 126
/// ("Unknown") for a name not in the list.
[[nodiscard]] std::uint8_t GenreNumber(std::string_view name);

/// The tags as an ID3v1 record: texts in Windows-1252 cut to the tag's field lengths (30 bytes,
/// the year 4), the track number, the genre's number.
[[nodiscard]] TID3Info PlayerTagOf(const TrackTags& tags);

} // namespace lum::lumd
