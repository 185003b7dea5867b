#include "DisplayTestSupport.h"
#include "common/LumError.h"
#include "display/Placeholders.h"
#include "host/HostMessages.h"

#include <gtest/gtest.h>

namespace lum::test {
namespace {

class ExpandPlaceholdersTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        host.PlayState = 1;
        host.PositionMs = 65'000;
        host.LengthS = 200;
        host.ListPos = 4;
        host.Title = "Song Title";
    }
};

TEST_F(ExpandPlaceholdersTest, VariablesInTheirOrder) {
    struct Case {
        const char* lineTemplate;
        const char* expected;
    };
    const Case cases[] = {
        {"Hello, World", "Hello, World"},
        {"", ""},
        {"%datumy|%datum|%zeits|%zeit", "07.12.2026|07.12|14:05:09|14:05"},
        {"%tag.%monat.%jahry %jahr", "07.12.2026 26"},
        {"%datumyy %zeitss %jahryy", "07.12.2026y 14:05:09s 2026y"},
        {"%DATUMY %Zeit %TiTeL %WINAMPZEITR", "07.12.2026 14:05 Song Title 02:15"},
        {"%status|%titel|%winampzeitr|%winampzeit|%winamptrack", "PLAY |Song Title|02:15|01:05|5"},
        {"%titel%titel %%titel", "Song TitleSong Title %Song Title"},
        {"%tagung %monate", "07ung 12e"},
        {"%id3titel|%id3interpret|%id3album|%id3year|%id3comment|%id3genre", "|||||Blues"},
        {"%winampzeitr%winampzeit", "02:1501:05"},
        {"%unknown %", "%unknown %"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(engine.ExpandPlaceholders(c.lineTemplate), c.expected) << c.lineTemplate;
    }
}

TEST_F(ExpandPlaceholdersTest, InsertedTitleIsSeenOnlyByLaterSteps) {
    host.Title = "%winampzeit and %jahr and %titel and %id3genre";
    EXPECT_EQ(engine.ExpandPlaceholders("%titel"), "01:05 and %jahr and %titel and Blues");
}

TEST_F(ExpandPlaceholdersTest, ControlBytesFromOutsideBecomeBlanks) {
    host.Title = "A\x1B[2J\x0D\x0A"
                 "B\x7F";
    engine.Tag().CurrentTag.Album = "X\x01Y";
    EXPECT_EQ(engine.ExpandPlaceholders("%titel|%id3album|\x1B"), "A [2J  B |X Y|\x1B");
}

TEST_F(ExpandPlaceholdersTest, PlayStateTexts) {
    struct Case {
        std::int32_t answer;
        const char* expected;
    };
    const Case cases[] = {
        {0, "[STOP ]"}, {1, "[PLAY ]"}, {3, "[PAUSE]"}, {2, "[%sTaTus]"}, {-1, "[%sTaTus]"}};
    for (const Case& c : cases) {
        host.PlayState = c.answer;
        EXPECT_EQ(engine.ExpandPlaceholders("[%sTaTus]"), c.expected) << c.answer;
    }
}

TEST_F(ExpandPlaceholdersTest, RemainingTime) {
    struct Case {
        std::int32_t lengthS;
        std::int32_t positionMs;
        const char* expected;
    };
    const Case cases[] = {
        {200, 65'000, "02:15"}, // time left
        {0, 65'000, "01:05"},   // unknown length: elapsed time
        {-1, 65'000, "01:05"},
        {200, 200'600, "00:00"},         // position past the whole-second length
        {200, -1, "03:20"},              // stopped: position -1
        {2'147'483'647, 0, "596523h14"}, // no 32-bit overflow
    };
    for (const Case& c : cases) {
        host.LengthS = c.lengthS;
        host.PositionMs = c.positionMs;
        EXPECT_EQ(engine.ExpandPlaceholders("%winampzeitr"), c.expected)
            << c.lengthS << " " << c.positionMs;
    }
}

TEST_F(ExpandPlaceholdersTest, TagFieldsTrimmedGenreNot) {
    TID3Info& tag = engine.Tag().CurrentTag;
    tag.Title = "  Title \t";
    tag.Artist = std::string("\0Artist\0\0", 9);
    tag.Year = std::string(4, '\0');
    tag.Comment = " a  b \x7F";
    tag.Genre = 255;
    EXPECT_EQ(engine.ExpandPlaceholders("[%id3titel|%id3interpret|%id3year|%id3comment|%id3genre]"),
              "[Title|Artist||a  b|Unknown]");
}

TEST_F(ExpandPlaceholdersTest, Umlauts) {
    host.Title = "M\xF6tley Stra\xDF"
                 "e";
    const std::string lineTemplate = "\xE4\xF6\xFC\xC4\xD6\xDC\xDF %titel";
    settings.ReplaceUmlauts = true;
    EXPECT_EQ(engine.ExpandPlaceholders(lineTemplate), "aeoeueAeOeUe\xDF Moetley Stra\xDF"
                                                       "e");
    settings.ReplaceUmlauts = false;
    EXPECT_EQ(engine.ExpandPlaceholders(lineTemplate), lineTemplate.substr(0, 8) + host.Title);
}

TEST_F(ExpandPlaceholdersTest, ClockReadOnceForEachDateOrTimeVariableStep) {
    (void)engine.ExpandPlaceholders("%datumy %datum %zeits %zeit %tag %monat %jahry %jahr %datumy");
    EXPECT_EQ(clockReads, 8);
    clockReads = 0;
    (void)engine.ExpandPlaceholders("%titel");
    EXPECT_EQ(clockReads, 0);
}

TEST_F(ExpandPlaceholdersTest, HostQueryOrder) {
    const std::vector<HostQuery> everyCall = {
        {HOST_PLAY_STATE, 0},  {HOST_PLAY_STATE, 1},     {HOST_PLAY_STATE, 3},
        {HOST_LIST_POS, 0},    {HOST_PLAYLIST_TITLE, 4}, {HOST_OUTPUT_TIME, 1},
        {HOST_OUTPUT_TIME, 0}, {HOST_OUTPUT_TIME, 0},    {HOST_LIST_POS, 0},
    };
    const std::vector<HostQuery> fileQueries = {{HOST_LIST_POS, 0}, {HOST_PLAYLIST_FILE, 4}};

    host.FileName = WriteTempFile("order.mp3", TagBytes({.Title = "T"}));
    (void)engine.ExpandPlaceholders("no variables");
    std::vector<HostQuery> expected = fileQueries;
    expected.insert(expected.end(), fileQueries.begin(), fileQueries.end());
    expected.insert(expected.end(), everyCall.begin(), everyCall.end());
    EXPECT_EQ(host.Queries, expected) << "with the tag read";

    host.Queries.clear();
    (void)engine.ExpandPlaceholders("%status %titel");
    expected = fileQueries;
    expected.insert(expected.end(), everyCall.begin(), everyCall.end());
    EXPECT_EQ(host.Queries, expected) << "same file again";
}

TEST_F(ExpandPlaceholdersTest, TagRefreshFollowsThePlayingFile) {
    const std::string first = WriteTempFile("first.mp3", TagBytes({.Title = "First", .Genre = 3}));
    const std::string untagged = WriteTempFile("untagged.mp3", std::vector<std::uint8_t>(300, 1));
    const std::string line = "%id3titel/%id3genre";

    host.FileName = first;
    EXPECT_EQ(engine.ExpandPlaceholders(line), "First/Dance");
    EXPECT_EQ(engine.Tag().LastTagFileName, first);

    // The same name is not read again, even when the file has changed meanwhile.
    (void)WriteTempFile("first.mp3", TagBytes({.Title = "Changed"}));
    EXPECT_EQ(engine.ExpandPlaceholders(line), "First/Dance");

    struct Case {
        const char* what;
        std::string fileName;
        std::string lastTagFileName;
    };
    const Case keep[] = {
        {"stream", "http://radio.example/stream", first},
        {"folder", ::testing::TempDir(), first},
        {"missing file", ::testing::TempDir() + "gone.mp3", first},
        {"empty name", "", first},
        {"file without tag", untagged, untagged},
    };
    for (const Case& c : keep) {
        host.FileName = c.fileName;
        EXPECT_EQ(engine.ExpandPlaceholders(line), "First/Dance") << c.what;
        EXPECT_EQ(engine.Tag().LastTagFileName, c.lastTagFileName) << c.what;
    }

    // Back to the first file: it differs from the last name, so it is read again.
    host.FileName = first;
    EXPECT_EQ(engine.ExpandPlaceholders(line), "Changed/Blues");
}

TEST_F(ExpandPlaceholdersTest, TagReadFailureIsReportedOnceAndKeepsTheOldTag) {
    const std::string tagged = WriteTempFile("tagged.mp3", TagBytes({.Title = "Old"}));
    host.FileName = tagged;
    (void)engine.ExpandPlaceholders("%id3titel");

    // The second file-name answer names a file that cannot be opened.
    const std::string next = WriteTempFile("next.mp3", TagBytes({.Title = "New"}));
    host.FileName = next;
    int fileAnswers = 0;
    host.BeforeAnswer = [&](const HostQuery& query) {
        if (query.Id == HOST_PLAYLIST_FILE && ++fileAnswers == 2) {
            host.FileName = ::testing::TempDir() + "vanished.mp3";
        }
    };
    try {
        (void)engine.ExpandPlaceholders("%id3titel");
        ADD_FAILURE() << "no error";
    } catch (const LumError& error) {
        EXPECT_STREQ(error.what(), "unable to open file to read ID3 tag");
    }
    EXPECT_EQ(engine.Tag().LastTagFileName, next);

    host.BeforeAnswer = nullptr;
    host.FileName = next;
    host.Queries.clear();
    EXPECT_EQ(engine.ExpandPlaceholders("%id3titel"), "Old");
    EXPECT_EQ(
        std::count(host.Queries.begin(), host.Queries.end(), HostQuery{HOST_PLAYLIST_FILE, 4}), 1);
}

} // namespace
} // namespace lum::test
