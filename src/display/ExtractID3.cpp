#include "display/ExtractID3.h"

#include "common/LumError.h"
#include "platform/FileTail.h"

#include <algorithm>

namespace lum {
namespace {

// Field positions within the tag.
constexpr std::size_t kTitleAt = 3;
constexpr std::size_t kArtistAt = 33;
constexpr std::size_t kAlbumAt = 63;
constexpr std::size_t kYearAt = 93;
constexpr std::size_t kCommentAt = 97;
constexpr std::size_t kTrackAt = 126;
constexpr std::size_t kGenreAt = 127;
constexpr std::size_t kTextLength = 30;
constexpr std::size_t kYearLength = 4;

// A text field, cut before its first NUL byte.
std::string TextField(std::span<const std::uint8_t, kId3TagSize> tag, std::size_t at) {
    const auto* first = tag.data() + at;
    const auto* end = std::find(first, first + kTextLength, std::uint8_t{0});
    return std::string(first, end);
}

} // namespace

bool ParseId3Tag(std::span<const std::uint8_t, kId3TagSize> tag, TID3Info& info) {
    if (tag[0] != 'T' || tag[1] != 'A' || tag[2] != 'G') {
        return false;
    }
    info.Title = TextField(tag, kTitleAt);
    info.Artist = TextField(tag, kArtistAt);
    info.Album = TextField(tag, kAlbumAt);
    info.Year.assign(tag.data() + kYearAt, tag.data() + kYearAt + kYearLength);
    info.Comment = TextField(tag, kCommentAt);
    info.Track = tag[kTrackAt];
    info.Genre = std::min<std::uint8_t>(tag[kGenreAt], kGenreCount - 1);
    return true;
}

bool ReadId3Tag(const std::string& fileName, TID3Info& info) {
    std::array<std::uint8_t, kId3TagSize> tag{};
    const auto got = platform::ReadFileTail(fileName, tag);
    if (!got) {
        throw LumError(messages::kCannotOpenId3Tag);
    }
    // Only a completely read tag counts; a short file or a failed read has none.
    return *got == tag.size() && ParseId3Tag(tag, info);
}

} // namespace lum
