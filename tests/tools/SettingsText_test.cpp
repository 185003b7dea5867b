// The settings as text: one "Name=value" line per stored value in file order, and the parser of
// that text with its line-numbered errors.

#include "settings/Settings.h"
#include "tools/lumctl/SettingsText.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lum::tools {
namespace {

/// The 79 names as the issue lists them, in the file's value order.
std::vector<std::string> IssueNames() {
    std::vector<std::string> names = {"ComPort",        "LineWidth",  "UpdateInterval",
                                      "LineCount",      "Separator",  "InitCommand",
                                      "ShowMainWindow", "DisplayOff", "MainWindowMinimized"};
    for (int set = 1; set <= 4; ++set) {
        const std::string prefix = "Set" + std::to_string(set) + ".Line";
        for (int line = 1; line <= 8; ++line) {
            names.push_back(prefix + std::to_string(line) + ".Template");
        }
        for (int line = 1; line <= 8; ++line) {
            names.push_back(prefix + std::to_string(line) + ".ScrollMode");
        }
    }
    for (const char* name : {"BaudRateIndex", "SendCarriageReturn", "SetChangeSeconds", "SetCount",
                             "Ba63Mode", "ReplaceUmlauts"}) {
        names.push_back(name);
    }
    return names;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

/// Every stored field away from its start value, all within range.
Settings NonDefaultSettings() {
    Settings s;
    s.ComPort = 9;
    s.LineWidth = 80;
    s.UpdateInterval = 999;
    s.LineCount = 8;
    s.Separator = " \"|\\ ";
    s.InitCommand = "-1";
    s.ShowMainWindow = false;
    s.DisplayOff = false;
    s.MainWindowMinimized = false;
    for (int set = 1; set <= kTextSetCount; ++set) {
        for (int line = 1; line <= kLinesPerSet; ++line) {
            auto& slot = s.Slot(set, line);
            slot.Template = "S" + std::to_string(set) + "L" + std::to_string(line) + " %titel";
            slot.ScrollMode = (set + line) % 4 - 1;
        }
    }
    s.Slot(2, 3).Template = std::string("\x00\x1F\x7F\x80\xFF\xE4", 6);
    s.Slot(4, 8).Template = std::string(300, '*');
    s.BaudRateIndex = 4;
    s.SendCarriageReturn = true;
    s.SetChangeSeconds = 255;
    s.SetCount = 4;
    s.Ba63Mode = true;
    s.ReplaceUmlauts = false;
    return s;
}

TEST(SettingsToText, ListsExactlyTheIssuesNamesInFileOrder) {
    const auto lines = Lines(SettingsToText(Settings{}));
    const auto names = IssueNames();
    ASSERT_EQ(names.size(), 79u);
    ASSERT_EQ(lines.size(), names.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].substr(0, lines[i].find('=')), names[i]) << "line " << i + 1;
    }
}

TEST(SettingsToText, StartValuesLineByLine) {
    std::string expected = "ComPort=1\n"
                           "LineWidth=20\n"
                           "UpdateInterval=300\n"
                           "LineCount=2\n"
                           "Separator=\" ** \"\n"
                           "InitCommand=\"20\"\n"
                           "ShowMainWindow=true\n"
                           "DisplayOff=true\n"
                           "MainWindowMinimized=true\n";
    for (int set = 1; set <= 4; ++set) {
        for (int line = 1; line <= 8; ++line) {
            std::string text;
            if (set == 1 && line == 1) {
                text = "%titel";
            } else if (set == 1 && line == 2) {
                text = "%status          %winampzeit";
            }
            expected += "Set" + std::to_string(set) + ".Line" + std::to_string(line) +
                        ".Template=\"" + text + "\"\n";
        }
        for (int line = 1; line <= 8; ++line) {
            expected +=
                "Set" + std::to_string(set) + ".Line" + std::to_string(line) + ".ScrollMode=-1\n";
        }
    }
    expected += "BaudRateIndex=-1\n"
                "SendCarriageReturn=false\n"
                "SetChangeSeconds=0\n"
                "SetCount=1\n"
                "Ba63Mode=false\n"
                "ReplaceUmlauts=true\n";
    EXPECT_EQ(SettingsToText(Settings{}), expected);
}

TEST(SettingsToText, TextsAreEscaped) {
    Settings s;
    s.Separator = std::string("a\"b\\c\x00\xE4", 7);
    const auto lines = Lines(SettingsToText(s));
    EXPECT_EQ(lines[4], "Separator=\"a\\\"b\\\\c\\x00\\xE4\"");
}

TEST(SettingsFromText, RoundTripOfEveryFieldAwayFromItsStartValue) {
    const Settings original = NonDefaultSettings();
    const std::string text = SettingsToText(original);
    EXPECT_EQ(SettingsFromText(text), original);
    EXPECT_EQ(SettingsToText(SettingsFromText(text)), text);
}

TEST(SettingsFromText, StartValuesRoundTrip) {
    EXPECT_EQ(SettingsFromText(SettingsToText(Settings{})), Settings{});
}

TEST(SettingsFromText, MissingValuesKeepTheirStartValues) {
    EXPECT_EQ(SettingsFromText(""), Settings{});
    Settings expected;
    expected.LineWidth = 40;
    expected.Slot(3, 2).Template = "x=y";
    EXPECT_EQ(SettingsFromText("LineWidth=40\nSet3.Line2.Template=\"x=y\""), expected);
}

TEST(SettingsFromText, SkipsBlankAndCommentLinesAndTakesCrLf) {
    Settings expected;
    expected.ComPort = 3;
    expected.Ba63Mode = true;
    EXPECT_EQ(SettingsFromText("# lumctl dump\r\n\r\nComPort=3\r\n\nBa63Mode=true\r\n"), expected);
}

TEST(SettingsFromText, AcceptsTheBoundsOfEveryRange) {
    const Settings low = SettingsFromText("ComPort=1\nLineWidth=8\nUpdateInterval=1\nLineCount=1\n"
                                          "SetChangeSeconds=0\nSetCount=1\nBaudRateIndex=-1\n"
                                          "Set1.Line1.ScrollMode=-1\n");
    EXPECT_EQ(low.LineWidth, 8);
    EXPECT_EQ(low.UpdateInterval, 1);
    EXPECT_EQ(low.LineCount, 1);
    const Settings high =
        SettingsFromText("ComPort=9\nLineWidth=80\nUpdateInterval=999\nLineCount=8\n"
                         "SetChangeSeconds=255\nSetCount=4\nBaudRateIndex=4\n"
                         "Set1.Line1.ScrollMode=2\n");
    EXPECT_EQ(high.ComPort, 9);
    EXPECT_EQ(high.UpdateInterval, 999);
    EXPECT_EQ(high.SetChangeSeconds, 255);
    EXPECT_EQ(high.SetCount, 4);
    EXPECT_EQ(high.BaudRateIndex, 4);
    EXPECT_EQ(high.Slot(1, 1).ScrollMode, 2);
}

struct BadTextCase {
    std::string text;
    int line;
    std::string message; // a part of the explanation
};

const BadTextCase kBadTextCases[] = {
    // text                                              line  message
    // unknown names
    {"Foo=1", 1, "unknown value name 'Foo'"},
    {"ComPort=1\ncomport=2", 2, "unknown value name 'comport'"},
    {"ActiveSet=2", 1, "unknown value name 'ActiveSet'"},
    {"Set5.Line1.Template=\"\"", 1, "unknown value name 'Set5.Line1.Template'"},
    {"Set1.Line9.ScrollMode=0", 1, "unknown value name 'Set1.Line9.ScrollMode'"},
    {"ComPort", 1, "expected Name=value"},
    {"=5", 1, "unknown value name ''"},
    {"Com\xE4Port=1", 1, "unknown value name 'Com\\xE4Port'"},
    // bad integers
    {"ComPort=1\nLineWidth=abc", 2, "'abc' is not a decimal integer"},
    {"ComPort=", 1, "'' is not a decimal integer"},
    {"ComPort=1.5", 1, "is not a decimal integer"},
    {"ComPort= 5", 1, "is not a decimal integer"},
    {"ComPort=5 ", 1, "is not a decimal integer"},
    {"ComPort=0x5", 1, "is not a decimal integer"},
    {"ComPort=+", 1, "is not a decimal integer"},
    {"ComPort=--1", 1, "is not a decimal integer"},
    {"Set1.Line1.ScrollMode=+-1", 1, "'+-1' is not a decimal integer"},
    {"ComPort=\x01", 1, "'\\x01' is not a decimal integer"},
    {"ComPort=\"1\"", 1, "is not a decimal integer"},
    // out of range
    {"ComPort=10", 1, "ComPort must lie between 1 and 9"},
    {"ComPort=0", 1, "ComPort must lie between 1 and 9"},
    {"LineWidth=7", 1, "LineWidth must lie between 8 and 80"},
    {"LineWidth=81", 1, "LineWidth must lie between 8 and 80"},
    {"UpdateInterval=0", 1, "UpdateInterval must lie between 1 and 999"},
    {"UpdateInterval=1000", 1, "UpdateInterval must lie between 1 and 999"},
    {"LineCount=9", 1, "LineCount must lie between 1 and 8"},
    {"SetChangeSeconds=-1", 1, "SetChangeSeconds must lie between 0 and 255"},
    {"SetChangeSeconds=256", 1, "SetChangeSeconds must lie between 0 and 255"},
    {"SetCount=5", 1, "SetCount must lie between 1 and 4"},
    {"Set2.Line3.ScrollMode=3", 1, "Set2.Line3.ScrollMode must lie between -1 and 2"},
    {"Set2.Line3.ScrollMode=-2", 1, "Set2.Line3.ScrollMode must lie between -1 and 2"},
    {"BaudRateIndex=5", 1, "BaudRateIndex must lie between -1 and 4"},
    {"BaudRateIndex=-2", 1, "BaudRateIndex must lie between -1 and 4"},
    {"UpdateInterval=99999999999", 1, "UpdateInterval must lie between 1 and 999"},
    {"LineWidth=-99999999999999999999", 1, "LineWidth must lie between 8 and 80"},
    // texts not in quotes
    {"Separator=abc", 1, "a text must stand in double quotes"},
    {"Separator=\"abc", 1, "a text must stand in double quotes"},
    {"Separator=abc\"", 1, "a text must stand in double quotes"},
    {"Separator=\"", 1, "a text must stand in double quotes"},
    {"Separator=", 1, "a text must stand in double quotes"},
    {"InitCommand=20", 1, "a text must stand in double quotes"},
    // malformed escapes
    {"Separator=\"\\q\"", 1, "malformed escape"},
    {"Set1.Line1.Template=\"\\x4\"", 1, "malformed escape"},
    {"Set1.Line1.Template=\"\\xZZ\"", 1, "malformed escape"},
    {"Separator=\"a\"b\"", 1, "malformed escape"},
    {"Separator=\"\\\"", 1, "malformed escape"},
    // bad booleans
    {"ShowMainWindow=yes", 1, "'yes' is neither true nor false"},
    {"ShowMainWindow=1", 1, "'1' is neither true nor false"},
    {"ShowMainWindow=True", 1, "'True' is neither true nor false"},
    {"ShowMainWindow=", 1, "'' is neither true nor false"},
    {"Ba63Mode=\"true\"", 1, "is neither true nor false"},
    // duplicates
    {"ComPort=1\nComPort=2", 2, "ComPort is given twice"},
    {"Set1.Line1.Template=\"a\"\nLineWidth=9\nSet1.Line1.Template=\"a\"", 3,
     "Set1.Line1.Template is given twice"},
    // the line number counts blank and comment lines, with either line end
    {"# comment\n\nComPort=x", 3, "'x' is not a decimal integer"},
    {"ComPort=2\r\nLineWidth=x\r\n", 2, "'x' is not a decimal integer"},
};

TEST(SettingsFromText, BadLinesAreNamed) {
    for (const auto& c : kBadTextCases) {
        SCOPED_TRACE(c.text);
        try {
            (void)SettingsFromText(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const TextInputError& error) {
            EXPECT_EQ(error.Line, c.line);
            EXPECT_NE(error.Message.find(c.message), std::string::npos) << error.Message;
        }
    }
}

TEST(SettingsFromText, TakesAnExplicitPlusSign) {
    const Settings s = SettingsFromText("SetChangeSeconds=+5\nSet1.Line1.ScrollMode=-1\n");
    EXPECT_EQ(s.SetChangeSeconds, 5);
    EXPECT_EQ(s.Slot(1, 1).ScrollMode, -1);
}

TEST(ApplyAssignment, ChangesOnlyTheNamedValue) {
    Settings settings;
    EXPECT_EQ(ApplyAssignment(settings, "Set4.Line8.ScrollMode=2"), std::nullopt);
    Settings expected;
    expected.Slot(4, 8).ScrollMode = 2;
    EXPECT_EQ(settings, expected);

    EXPECT_EQ(ApplyAssignment(settings, "Separator=\"=\\x3D\""), std::nullopt);
    expected.Separator = "==";
    EXPECT_EQ(settings, expected);
}

TEST(ApplyAssignments, NamesTheBadAssignmentAndRejectsANameGivenTwice) {
    const struct {
        std::vector<std::string> assignments;
        std::optional<std::string> problem;
    } cases[] = {
        {{"LineCount=2", "Separator=\"-\""}, std::nullopt},
        {{"LineCount=2", "LineCount=3"}, "LineCount is given twice"},
        {{"LineCount=2", "Line\x01"
                         "Count=3"},
         "Line\\x01Count=3: unknown value name 'Line\\x01Count'"},
        {{"LineWidth=81"}, "LineWidth=81: LineWidth must lie between 8 and 80"},
    };
    for (const auto& c : cases) {
        Settings settings;
        EXPECT_EQ(ApplyAssignments(settings, c.assignments), c.problem);
    }
}

TEST(ApplyAssignment, ARejectedValueChangesNothing) {
    Settings settings;
    EXPECT_NE(ApplyAssignment(settings, "LineWidth=100"), std::nullopt);
    EXPECT_NE(ApplyAssignment(settings, "Separator=\"\\q\""), std::nullopt);
    EXPECT_NE(ApplyAssignment(settings, "DisplayOff=no"), std::nullopt);
    EXPECT_EQ(settings, Settings{});
}

} // namespace
} // namespace lum::tools
