#include "CaseName.h"
#include "apps/lumd/TrackTags.h"

#include <gtest/gtest.h>
#include <ostream>

namespace lum::lumd {
namespace {

struct TitleCase {
    const char* Name;
    friend void PrintTo(const TitleCase& c, std::ostream* out) { *out << c.Name; }
    TrackTags Tags;
    const char* Uri;
    std::string Expected;
};

class DisplayTitleRule : public ::testing::TestWithParam<TitleCase> {};

TEST_P(DisplayTitleRule, ShowsArtistAndTitleElseTitleElseFileName) {
    EXPECT_EQ(DisplayTitle(GetParam().Tags, GetParam().Uri), GetParam().Expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, DisplayTitleRule, ::testing::Values(
    TitleCase{"ArtistAndTitle", {.Artist = "Can", .Title = "Vitamin C"},     "x/a.mp3", "Can - Vitamin C"},
    TitleCase{"TitleAlone",     {.Title = "Vitamin C"},                      "x/a.mp3", "Vitamin C"},
    TitleCase{"ArtistAlone",    {.Artist = "Can"},                           "x/a.mp3", "a.mp3"},
    TitleCase{"NoTags",         {},                                          "http://r.example/Live%20Stream", "Live Stream"},
    TitleCase{"Umlauts",        {.Artist = "M\u00f6tley", .Title = "\u00c4rger \u20ac"}, "a", "M\xF6tley - \xC4rger \x80"},
    TitleCase{"FileNameUtf8",   {},                                          "x/B\u00fcro.mp3", "B\xFCro.mp3"},
    TitleCase{"JoinedCut",      {.Artist = std::string(1020, 'a'), .Title = "\u00c4rger"}, "a",
                                std::string(1020, 'a') + " - \xC4"}),
    CaseName());
// clang-format on

TEST(GenreNumber, FindsTheNameInAnyCaseElseUnknown) {
    EXPECT_EQ(GenreNumber("Blues"), 0);
    EXPECT_EQ(GenreNumber("rock"), 17);
    EXPECT_EQ(GenreNumber("HARD ROCK"), 79);
    EXPECT_EQ(GenreNumber("Dance Hall"), 125);
    EXPECT_EQ(GenreNumber("Rock "), 126);
    EXPECT_EQ(GenreNumber(""), 126);
    EXPECT_EQ(GenreNumber("Krautrock"), 126);
}

TEST(PlayerTagOf, FillsTheId3FieldsCutToTheirLengths) {
    const TrackTags tags{.Artist = "M\u00f6tley Cr\u00fce",
                         .Title = "\u00c4rger \u00fcber 5 \u20ac und \u03a9 mit Sto\u00df am Ende",
                         .Album = "An album whose name runs past thirty bytes",
                         .Date = "1999-05-03",
                         .Comment = "K\u00e4se",
                         .Genre = "Polka",
                         .Track = 7};
    const TID3Info info = PlayerTagOf(tags);
    EXPECT_EQ(info.Artist, "M\xF6tley Cr\xFC"
                           "e");
    EXPECT_EQ(info.Title, "\xC4rger \xFC"
                          "ber 5 \x80 und ? mit Sto\xDF ");
    EXPECT_EQ(info.Title.size(), 30U);
    EXPECT_EQ(info.Album, "An album whose name runs past ");
    EXPECT_EQ(info.Year, "1999");
    EXPECT_EQ(info.Comment, "K\xE4se");
    EXPECT_EQ(info.Track, 7);
    EXPECT_EQ(info.Genre, 75);
}

} // namespace
} // namespace lum::lumd
