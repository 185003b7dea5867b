#include "apps/lumd/TrackTags.h"

#include "apps/lumd/FileUrl.h"
#include "common/Windows1252.h"

#include <algorithm>

namespace lum::lumd {
namespace {

constexpr std::size_t kTextFieldLength = 30;
constexpr std::size_t kYearLength = 4;
constexpr std::uint8_t kUnknownGenre = 126;

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

} // namespace

std::string DisplayTitle(const TrackTags& tags, std::string_view uri) {
    if (tags.Title.empty()) {
        return Utf8ToWindows1252(FileNameOfUri(uri), kMaxTextLength);
    }
    std::string title = Utf8ToWindows1252(tags.Title, kMaxTextLength);
    if (tags.Artist.empty()) {
        return title;
    }
    std::string joined = Utf8ToWindows1252(tags.Artist, kMaxTextLength) + " - " + title;
    joined.resize(std::min(joined.size(), kMaxTextLength));
    return joined;
}

std::uint8_t GenreNumber(std::string_view name) {
    for (const GenreEntry& genre : GenreNames) {
        if (genre.Number != kUnknownGenre && SameIgnoringCase(genre.Name, name)) {
            return genre.Number;
        }
    }
    return kUnknownGenre;
}

TID3Info PlayerTagOf(const TrackTags& tags) {
    TID3Info info;
    info.Title = Utf8ToWindows1252(tags.Title, kTextFieldLength);
    info.Artist = Utf8ToWindows1252(tags.Artist, kTextFieldLength);
    info.Album = Utf8ToWindows1252(tags.Album, kTextFieldLength);
    info.Year = Utf8ToWindows1252(tags.Date, kYearLength);
    info.Comment = Utf8ToWindows1252(tags.Comment, kTextFieldLength);
    info.Track = tags.Track;
    info.Genre = GenreNumber(Utf8ToWindows1252(tags.Genre, kMaxTextLength));
    return info;
}

} // namespace lum::lumd
