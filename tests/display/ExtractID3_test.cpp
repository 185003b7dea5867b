#include "DisplayTestSupport.h"
#include "common/LumError.h"
#include "display/ExtractID3.h"

#include <gtest/gtest.h>

namespace lum {

void PrintTo(const TID3Info& info, std::ostream* out) {
    *out << "{" << ::testing::PrintToString(info.Title) << ", "
         << ::testing::PrintToString(info.Artist) << ", " << ::testing::PrintToString(info.Album)
         << ", " << ::testing::PrintToString(info.Year) << ", "
         << ::testing::PrintToString(info.Comment) << ", " << int{info.Track} << ", "
         << int{info.Genre} << "}";
}

namespace test {
namespace {

// A file of some audio bytes followed by `tag`.
std::string TaggedFile(const std::string& name, std::vector<std::uint8_t> tag) {
    std::vector<std::uint8_t> bytes(500, 0xAA);
    bytes.insert(bytes.end(), tag.begin(), tag.end());
    return WriteTempFile(name, bytes);
}

TEST(ExtractID3, FieldRules) {
    struct Case {
        const char* what;
        TagFields fields;
        TID3Info expected;
    };
    const std::string thirty = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcd";
    const std::string comment28 = "Comment of twenty-eight c...";
    const Case cases[] = {
        {"30 letters without NUL",
         {.Title = thirty},
         {.Title = thirty, .Year = std::string(4, '\0')}},
        {"cut before the first NUL",
         {.Title = std::string("Song\0tail", 9), .Artist = "Band"},
         {.Title = "Song", .Artist = "Band", .Year = std::string(4, '\0')}},
        {"padding blanks kept",
         {.Album = "Album   ", .Year = "1999"},
         {.Album = "Album   ", .Year = "1999"}},
        {"version 1.1 track byte",
         {.Year = "2001", .Comment = comment28, .Track = 7},
         {.Year = "2001", .Comment = comment28, .Track = 7}},
        {"comment of 30 bytes",
         {.Year = std::string("12\0"
                              "4",
                              4),
          .Comment = thirty},
         {.Year = std::string("12\0"
                              "4",
                              4),
          .Comment = thirty,
          .Track = 'd'}},
        {"genre 125", {.Genre = 125}, {.Year = std::string(4, '\0'), .Genre = 125}},
        {"genre 127 stored as 126", {.Genre = 127}, {.Year = std::string(4, '\0'), .Genre = 126}},
        {"genre 255 stored as 126", {.Genre = 255}, {.Year = std::string(4, '\0'), .Genre = 126}},
        {"bytes above 0x7F as they are",
         {.Title = "M\xF6tley"},
         {.Title = "M\xF6tley", .Year = std::string(4, '\0')}},
    };
    for (const Case& c : cases) {
        TID3Info info;
        ReadId3Tag(TaggedFile("fields.mp3", TagBytes(c.fields)), info);
        EXPECT_EQ(info, c.expected) << c.what;
    }
}

TEST(ExtractID3, FilesWithoutTagLeaveTheRecordUnchanged) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<std::uint8_t> lowerCase = TagBytes({.Marker = "tag", .Title = "Other"});
    std::vector<std::uint8_t> tagTooEarly = TagBytes({.Title = "Other"});
    tagTooEarly.push_back(0);
    std::vector<std::uint8_t> shortFile = TagBytes({.Title = "Other"});
    shortFile.pop_back();
    const Case cases[] = {
        {"lower-case marker", lowerCase},
        {"marker one byte before the tag position", tagTooEarly},
        {"127 bytes starting with TAG", shortFile},
        {"empty file", {}},
    };
    const TID3Info previous{.Title = "Kept", .Artist = "Artist", .Genre = 17};
    for (const Case& c : cases) {
        TID3Info info = previous;
        EXPECT_FALSE(ReadId3Tag(WriteTempFile("notag.mp3", c.bytes), info)) << c.what;
        EXPECT_EQ(info, previous) << c.what;
    }
}

TEST(ExtractID3, ExactlyOneTagLongFileIsRead) {
    TID3Info info;
    EXPECT_TRUE(ReadId3Tag(WriteTempFile("tagonly.mp3", TagBytes({.Title = "Only"})), info));
    EXPECT_EQ(info.Title, "Only");
}

TEST(ExtractID3, OpenFailureRaisesAndLeavesRecord) {
    const TID3Info previous{.Title = "Kept"};
    for (const std::string& path : {::testing::TempDir() + "missing.mp3", ::testing::TempDir()}) {
        TID3Info info = previous;
        try {
            ReadId3Tag(path, info);
            ADD_FAILURE() << path << " raised nothing";
        } catch (const LumError& error) {
            EXPECT_STREQ(error.what(), "unable to open file to read ID3 tag");
        }
        EXPECT_EQ(info, previous);
    }
}

TEST(ExtractID3, GenreNamesAsShown) {
    struct Case {
        std::uint8_t genre;
        const char* name;
    };
    const Case cases[] = {
        {0, "Blues"},        {14, "R&B"},         {29, "Jazz+Funk"},        {60, "Top 40"},
        {62, "Pop/Funk"},    {67, "Psychadelic"}, {78, "Rock & Roll"},      {79, "Hard Rock"},
        {80, "Folk"},        {85, "Bebob"},       {93, "Psychedelic Rock"}, {123, "Acapella"},
        {125, "Dance Hall"}, {126, "Unknown"},    {127, "Unknown"},         {255, "Unknown"}};
    for (const Case& c : cases) {
        EXPECT_EQ(GenreName(c.genre), c.name) << int{c.genre};
    }
    EXPECT_EQ(std::size(GenreNames), 127u);
}

} // namespace
} // namespace test
} // namespace lum
