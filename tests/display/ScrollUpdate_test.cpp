#include "DisplayTestSupport.h"
#include "common/LumError.h"
#include "host/HostMessages.h"

#include <gtest/gtest.h>

namespace lum::test {
namespace {

// A text of `length` letters.
std::string Letters(std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        text += static_cast<char>('A' + i % 26);
    }
    return text;
}

using ScrollUpdateTest = DisplayTest;

TEST_F(ScrollUpdateTest, OffsetSequences) {
    struct Tick {
        std::size_t titleLength;
        std::int32_t offset; ///< expected after the tick
    };
    struct Case {
        const char* what;
        int line;
        std::int32_t mode;
        const char* separator;
        std::int32_t startOffset;
        std::vector<Tick> ticks;
    };
    // LineWidth 8 throughout; the title fills the line's template "%titel".
    const Case cases[] = {
        {"left wraps after the separator", 2, kScrollLeft, "--", 9, {{9, 10}, {9, 0}, {9, 1}}},
        {"right cycles n-1 .. 0", 2, kScrollRight, "", 0, {{9, 8}, {9, 7}, {9, 6}}},
        {"right from 0 wraps to the end", 2, kScrollRight, "", 1, {{9, 0}, {9, 8}}},
        {"exactly the width never scrolls", 2, kScrollLeft, " ** ", 5, {{8, 0}, {8, 0}}},
        {"left: text grows, then shrinks",
         2,
         kScrollLeft,
         " ** ",
         0,
         {{8, 0}, {9, 1}, {9, 2}, {3, 0}}},
        {"left: text shrinks below the offset", 2, kScrollLeft, " ** ", 11, {{12, 12}, {9, 0}}},
        {"right: text shrinks below the offset",
         2,
         kScrollRight,
         "",
         0,
         {{12, 11}, {9, 0}, {9, 8}}},
        {"off resets", 2, kScrollOff, " ** ", 4, {{20, 0}, {20, 0}}},
        {"no mode selected resets", 2, kScrollNone, " ** ", 4, {{20, 0}}},
        {"start offset 99, left, long text", 1, kScrollLeft, " ** ", 99, {{97, 100}}},
        {"start offset 99, left, short text", 1, kScrollLeft, " ** ", 99, {{95, 0}}},
        {"start offset 99, right, long text", 1, kScrollRight, " ** ", 99, {{95, 98}}},
        {"start offset 99, right, short text", 1, kScrollRight, " ** ", 99, {{94, 0}, {94, 97}}},
    };
    for (const Case& c : cases) {
        settings = Settings{};
        settings.LineWidth = 8;
        settings.Separator = c.separator;
        LineSlot& slot = settings.Slot(1, c.line);
        slot.Template = "%titel";
        slot.ScrollMode = c.mode;
        std::int32_t& offset = shown.ScrollOffset(1, c.line);
        offset = c.startOffset;
        for (const Tick& tick : c.ticks) {
            host.Title = Letters(tick.titleLength);
            engine.UpdateScrollOffsets();
            EXPECT_EQ(offset, tick.offset) << c.what << ", title " << tick.titleLength;
        }
    }
}

TEST(ShowState, StartsAtSet1WithLine1AtOffset99) {
    // Not stored, so not pinned by the settings file: the first scroll of line 1 starts at 99.
    const ShowState s;
    EXPECT_EQ(s.ActiveSet, 1);
    for (int set = 1; set <= kTextSetCount; ++set) {
        for (int line = 1; line <= kLinesPerSet; ++line) {
            EXPECT_EQ(s.ScrollOffset(set, line), line == 1 ? 99 : 0) << set << "," << line;
        }
    }
}

TEST_F(ScrollUpdateTest, AllEightLinesOfTheActiveSetOnly) {
    settings.LineCount = 2;
    shown.ActiveSet = 3;
    host.Title = Letters(30);
    for (int set = 1; set <= kTextSetCount; ++set) {
        for (int line = 1; line <= kLinesPerSet; ++line) {
            settings.Slot(set, line) = {"%titel", kScrollLeft};
            shown.ScrollOffset(set, line) = line;
        }
    }
    engine.UpdateScrollOffsets();
    for (int set = 1; set <= kTextSetCount; ++set) {
        for (int line = 1; line <= kLinesPerSet; ++line) {
            EXPECT_EQ(shown.ScrollOffset(set, line), set == 3 ? line + 1 : line)
                << "set " << set << " line " << line;
        }
    }
}

TEST_F(ScrollUpdateTest, ActiveSetNamingNoSetChangesNothing) {
    for (const std::int32_t activeSet : {0, 5, -1}) {
        shown = ShowState{};
        shown.ActiveSet = activeSet;
        const ShowState before = shown;
        engine.UpdateScrollOffsets();
        EXPECT_EQ(shown, before) << activeSet;
        EXPECT_TRUE(host.Queries.empty());
    }
}

TEST_F(ScrollUpdateTest, ExpansionFailureEndsTheUpdate) {
    host.Title = Letters(30);
    for (int line = 1; line <= kLinesPerSet; ++line) {
        settings.Slot(1, line) = {"%titel", kScrollLeft};
        shown.ScrollOffset(1, line) = 5;
    }
    // The third expansion finds a new playing file that cannot be opened.
    const std::string next = WriteTempFile("scroll.mp3", TagBytes({}));
    int fileAnswers = 0;
    host.BeforeAnswer = [&](const HostQuery& query) {
        if (query.Id == HOST_PLAYLIST_FILE) {
            ++fileAnswers;
            host.FileName = fileAnswers == 3 ? next : "";
        }
    };
    EXPECT_THROW(engine.UpdateScrollOffsets(), LumError);
    for (int line = 1; line <= kLinesPerSet; ++line) {
        EXPECT_EQ(shown.ScrollOffset(1, line), line <= 2 ? 6 : 5) << line;
    }
}

} // namespace
} // namespace lum::test
