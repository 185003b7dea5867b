#include "DisplayTestSupport.h"
#include "common/LumError.h"
#include "host/HostMessages.h"

#include <gtest/gtest.h>

namespace lum::test {
namespace {

using DisplayFrameTest = DisplayTest;

const std::string kTitle26 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

TEST_F(DisplayFrameTest, WorkedFrame) {
    settings.Slot(1, 1).Template = "%status";
    settings.Slot(1, 2) = {"%titel", kScrollLeft};
    shown.ScrollOffset(1, 2) = 3;
    host.PlayState = 1;
    host.Title = kTitle26;
    engine.WriteDisplayFrame();
    ASSERT_EQ(port.Writes.size(), 1u);
    EXPECT_EQ(port.Writes[0], "PLAY " + std::string(15, ' ') + kTitle26.substr(3, 20));
}

TEST_F(DisplayFrameTest, FrameForms) {
    struct Case {
        const char* what;
        bool ba63;
        bool carriageReturn;
        std::int32_t lineCount;
        std::string expected;
    };
    // Width 8; lines "one", "two", "three", "four".
    const Case cases[] = {
        {"plain", false, false, 2, "one     two     "},
        {"plain with CR", false, true, 3, "one     two     three   \r"},
        {"one line", false, false, 1, "one     "},
        {"four lines", false, false, 4, "one     two     three   four    "},
        {"BA63 two lines", true, false, 2, "\x1B[1;1Hone     \n\rtwo     "},
        {"BA63 ignores CR and lines 3-8", true, true, 4, "\x1B[1;1Hone     \n\rtwo     "},
        {"BA63 one line", true, false, 1, "\x1B[1;1Hone     \n\r"},
    };
    for (const Case& c : cases) {
        settings = Settings{};
        settings.LineWidth = 8;
        settings.Ba63Mode = c.ba63;
        settings.SendCarriageReturn = c.carriageReturn;
        settings.LineCount = c.lineCount;
        const char* texts[] = {"one", "two", "three", "four", "five", "six", "seven", "eight"};
        for (int line = 1; line <= kLinesPerSet; ++line) {
            settings.Slot(1, line).Template = texts[line - 1];
        }
        port.Writes.clear();
        engine.WriteDisplayFrame();
        ASSERT_EQ(port.Writes.size(), 1u) << c.what;
        EXPECT_EQ(port.Writes[0], c.expected) << c.what;
    }
}

TEST_F(DisplayFrameTest, LineWindows) {
    struct Case {
        const char* what;
        std::string text;
        const char* separator;
        std::int32_t offset;
        std::string expected;
    };
    // Width 8, one line.
    const Case cases[] = {
        {"empty", "", " ** ", 0, "        "},
        {"exactly the width, no separator", "12345678", " ** ", 5, "12345678"},
        {"short text ignores the offset", "abc", " ** ", 5, "abc     "},
        {"window from 0", "123456789", "|", 0, "12345678"},
        {"window across the end", "123456789", "|", 6, "789|1234"},
        {"empty separator", "123456789", "", 7, "89123456"},
        {"offset into the second copy", "123456789", "|", 15, "6789|   "},
        {"offset past both copies", "123456789", "|", 20, "        "},
        {"negative offset from the start", "123456789", "|", -3, "12345678"},
    };
    for (const Case& c : cases) {
        settings = Settings{};
        settings.LineWidth = 8;
        settings.LineCount = 1;
        settings.Separator = c.separator;
        settings.Slot(1, 1) = {c.text, kScrollLeft};
        shown.ScrollOffset(1, 1) = c.offset;
        port.Writes.clear();
        engine.WriteDisplayFrame();
        ASSERT_EQ(port.Writes.size(), 1u) << c.what;
        EXPECT_EQ(port.Writes[0], c.expected) << c.what;
    }
}

TEST_F(DisplayFrameTest, BannerPeriod) {
    settings.LineCount = 4;
    for (int line = 1; line <= 4; ++line) {
        settings.Slot(1, line) = {"%titel", kScrollLeft};
        shown.ScrollOffset(1, line) = 0;
    }
    host.Title = "line text";
    engine.SetBannerPeriod(true);
    engine.WriteDisplayFrame();
    ASSERT_EQ(port.Writes.size(), 1u);
    EXPECT_EQ(port.Writes[0], std::string(kBannerLine1) + " " + std::string(kBannerLine2) + " " +
                                  std::string(40, ' '));
    EXPECT_EQ(
        std::count(host.Queries.begin(), host.Queries.end(), HostQuery{HOST_PLAYLIST_TITLE, 0}), 4)
        << "every line is still expanded";

    // Narrower than the banner: cut at the line's offset like any long line.
    settings.LineWidth = 10;
    settings.LineCount = 1;
    shown.ScrollOffset(1, 1) = 8;
    engine.WriteDisplayFrame();
    EXPECT_EQ(port.Writes.back(), " Lum Plugi");
}

TEST_F(DisplayFrameTest, ActiveSetNamingNoSetGivesBlankLines) {
    shown.ActiveSet = 5;
    engine.WriteDisplayFrame();
    ASSERT_EQ(port.Writes.size(), 1u);
    EXPECT_EQ(port.Writes[0], std::string(40, ' '));
}

TEST_F(DisplayFrameTest, PendingWriteDropsTheFrame) {
    port.Pending = true;
    engine.WriteDisplayFrame();
    EXPECT_TRUE(port.Writes.empty());
    EXPECT_FALSE(host.Queries.empty()) << "the lines are built before the port is asked";
    port.Pending = false;
    engine.WriteDisplayFrame();
    EXPECT_EQ(port.Writes.size(), 1u);
}

TEST_F(DisplayFrameTest, ExpansionFailureSendsNothing) {
    host.BeforeAnswer = [&](const HostQuery& query) {
        if (query.Id == HOST_PLAYLIST_FILE) {
            host.FileName = host.FileName.empty() ? WriteTempFile("frame.mp3", TagBytes({})) : "";
        }
    };
    EXPECT_THROW(engine.WriteDisplayFrame(), LumError);
    EXPECT_TRUE(port.Writes.empty());
}

TEST_F(DisplayFrameTest, RefreshTickShowsTheAdvancedOffsets) {
    settings.LineWidth = 8;
    settings.LineCount = 1;
    settings.Slot(1, 1) = {"%titel", kScrollLeft};
    shown.ScrollOffset(1, 1) = 0;
    host.Title = "123456789";
    engine.RefreshTick();
    engine.RefreshTick();
    ASSERT_EQ(port.Writes.size(), 2u);
    EXPECT_EQ(port.Writes[0], "23456789");
    EXPECT_EQ(port.Writes[1], "3456789 ");
}

TEST_F(DisplayFrameTest, ClearForms) {
    struct Case {
        const char* what;
        bool ba63;
        bool carriageReturn;
        std::int32_t width;
        std::int32_t lineCount;
        std::string expected;
    };
    const std::string ba63Clear =
        "\x1B[1;1H" + std::string(20, ' ') + "\n\r" + std::string(20, ' ');
    const Case cases[] = {
        {"plain", false, false, 20, 2, std::string(40, ' ')},
        {"plain with CR", false, true, 8, 3, std::string(24, ' ') + "\r"},
        {"BA63", true, false, 40, 4, ba63Clear},
        {"BA63 ignores CR and width", true, true, 8, 1, ba63Clear},
    };
    for (const Case& c : cases) {
        settings = Settings{};
        settings.Ba63Mode = c.ba63;
        settings.SendCarriageReturn = c.carriageReturn;
        settings.LineWidth = c.width;
        settings.LineCount = c.lineCount;
        port.Writes.clear();
        port.Pending = true; // not consulted
        engine.ClearDisplay();
        ASSERT_EQ(port.Writes.size(), 1u) << c.what;
        EXPECT_EQ(port.Writes[0], c.expected) << c.what;
    }
    EXPECT_EQ(ba63Clear.size(), 48u);
    EXPECT_TRUE(host.Queries.empty());
}

} // namespace
} // namespace lum::test
