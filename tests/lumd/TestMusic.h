#pragma once
// Short silent MP3 files made at test time (sox for the silence, lame for the encoding), each
// carrying its tags twice: an ID3v2.4 tag in UTF-8 at the start, which the players read, and an
// ID3v1 tag in Windows-1252 at the end, which the display engine reads from a local file.

#include <string>
#include <vector>

namespace lum::lumd::testing {

/// One test file and its tags (UTF-8).
struct TestTrack {
    std::string File{}; ///< the file's name in the music folder
    std::string Artist{};
    std::string Title{};
    std::string Album{};
    std::string Date{};
    std::string Comment{};
    std::string Genre{};
    int Track = 0;
};

/// Three tracks: two plain ones and one with umlauts, a euro sign, a Greek letter and fields
/// longer than ID3v1 holds.
[[nodiscard]] const std::vector<TestTrack>& StandardTracks();

/// The files of StandardTracks, in order.
[[nodiscard]] std::vector<std::string> StandardFiles();

/// "Artist - Title" of `track` in Windows-1252: the title the display shows.
[[nodiscard]] std::string DisplayTitle(const TestTrack& track);

/// The programs MakeTestMusic needs.
[[nodiscard]] std::vector<std::string> MusicPrograms();

/// Writes each track into `folder` as an MP3 of `seconds` seconds of silence; raises
/// std::runtime_error when the audio cannot be made.
void MakeTestMusic(const std::string& folder, const std::vector<TestTrack>& tracks, int seconds);

/// The ID3v2.4 tag of `track`: text frames in UTF-8.
[[nodiscard]] std::string Id3v2Tag(const TestTrack& track);

/// The 128-byte ID3v1.1 tag of `track`: texts in Windows-1252, cut to their fields.
[[nodiscard]] std::string Id3v1Tag(const TestTrack& track);

} // namespace lum::lumd::testing
