#include "CaseName.h"
#include "apps/lumd/FileUrl.h"

#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace lum::lumd {
namespace {

struct UrlCase {
    const char* Name;
    friend void PrintTo(const UrlCase& c, std::ostream* out) { *out << c.Name; }
    std::string_view Url;
    std::optional<std::string> LocalPath;
};

class FileUrlPath : public ::testing::TestWithParam<UrlCase> {};

TEST_P(FileUrlPath, IsTheLocalFileOrNone) {
    EXPECT_EQ(LocalPathOfFileUrl(GetParam().Url), GetParam().LocalPath);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, FileUrlPath, ::testing::Values(
    UrlCase{"Plain",            "file:///music/a.mp3",                   "/music/a.mp3"},
    UrlCase{"Localhost",        "file://localhost/music/a.mp3",          "/music/a.mp3"},
    UrlCase{"Escapes",          "file:///m/M%C3%B6tley%20Cr%c3%bce.mp3", "/m/M\xC3\xB6tley Cr\xC3\xBC" "e.mp3"},
    UrlCase{"OtherHost",        "file://server/music/a.mp3",             std::nullopt},
    UrlCase{"Http",             "http://localhost/a.mp3",                std::nullopt},
    UrlCase{"PlainPath",        "/music/a.mp3",                          std::nullopt},
    UrlCase{"BadEscape",        "file:///a%2",                           std::nullopt},
    // Views cut inside an escape that the bytes after them would complete.
    UrlCase{"EscapeCutByView",  std::string_view("file:///a%2F", 11),    std::nullopt},
    UrlCase{"PercentEndsView",  std::string_view("file:///a%41", 10),    std::nullopt},
    UrlCase{"NonHexEscape",     "file:///a%zz.mp3",                      std::nullopt},
    UrlCase{"NoPath",           "file://",                               std::nullopt}),
    CaseName());
// clang-format on

TEST(FileNameOfUri, IsTheLastPartDecodedOnlyForUrls) {
    EXPECT_EQ(FileNameOfUri("Artist/Album/01%20Song.mp3"), "01%20Song.mp3");
    EXPECT_EQ(FileNameOfUri("http://radio.example/live/Das%20Radio.mp3"), "Das Radio.mp3");
    EXPECT_EQ(FileNameOfUri("song.ogg"), "song.ogg");
    EXPECT_EQ(FileNameOfUri("http://radio.example/"), "http://radio.example/");
}

} // namespace
} // namespace lum::lumd
