#pragma once
// The ID3v1 tag in the last 128 bytes of a media file, with the version 1.1 track byte:
//
//   offset  length  content
//        0       3  "TAG"
//        3      30  title
//       33      30  artist
//       63      30  album
//       93       4  year
//       97      30  comment (version 1.1: byte 125 is 0, byte 126 the track number)
//      127       1  genre number (GenreNames)

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <string_view>

namespace lum {

/// The fields of an ID3v1 tag; texts keep their padding and are trimmed where they are shown.
struct TID3Info {
    std::string Title{};
    std::string Artist{};
    std::string Album{};
    std::string Year{}; ///< all four bytes, NUL bytes included
    std::string Comment{};
    std::uint8_t Track = 0;
    std::uint8_t Genre = 0; ///< index into GenreNames; 126 for every number from 126 up

    friend bool operator==(const TID3Info&, const TID3Info&) = default;
};

/// Size of the tag at the end of the file.
inline constexpr std::size_t kId3TagSize = 128;

/// One genre: its number in the tag and its name as the display shows it.
struct GenreEntry {
    std::uint8_t Number;
    std::string_view Name;
};

/// Number of genre names; the last one, "Unknown", stands for every number from 126 up.
inline constexpr std::size_t kGenreCount = 127;

/// The ID3v1 genre list (0-79), the player's extensions (80-125) and "Unknown" (126).
extern const GenreEntry GenreNames[kGenreCount];

/// The name shown for genre number `genre`.
[[nodiscard]] std::string_view GenreName(std::uint8_t genre);

/// Fills `info` from a tag's 128 bytes when they start with "TAG"; returns whether they did.
/// Without the marker `info` is left as it was.
bool ParseId3Tag(std::span<const std::uint8_t, kId3TagSize> tag, TID3Info& info);

/// Reads the tag of the file `fileName` into `info` and tells whether it has one. A file without a
/// tag, or shorter than a tag, leaves `info` unchanged. Raises "unable to open file to read ID3
/// tag" when the file cannot be opened for reading with other readers allowed and no writer.
bool ReadId3Tag(const std::string& fileName, TID3Info& info);

} // namespace lum
