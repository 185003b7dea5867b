// The virtual display's byte protocol, and the display engine's frames as a real display shows
// them after the start line feed, in every geometry and whatever the reads.
#include "display/DisplayBytes.h"
#include "display/DisplayEngine.h"
#include "host/HostPlayer.h"
#include "settings/Settings.h"
#include "tools/common/HostModel.h"
#include "tools/vfd/CharacterDisplay.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lum::vfd {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(CharacterDisplay, Protocol) {
    struct Case {
        const char* Name;
        std::string Stream;
        std::vector<std::string> Lines; ///< 10 x 2
        int Line, Column;
    };
    const Case cases[] = {
        {"text at the cursor", "abc", {"abc       ", "          "}, 0, 3},
        {"a full line leaves the cursor past its end",
         "0123456789",
         {"0123456789", "          "},
         0,
         10},
        {"the wrap waits for the next byte", "0123456789X", {"0123456789", "X         "}, 1, 1},
        {"past the bottom everything scrolls up",
         "0123456789abcdefghijXY",
         {"abcdefghij", "XY        "},
         1,
         2},
        {"CR goes to column 1 and cancels the wrap",
         "0123456789\rX",
         {"X123456789", "          "},
         0,
         1},
        {"LF goes down, scrolling at the bottom", "A\nB\nC", {" B        ", "  C       "}, 1, 3},
        {"cursor position, 1-based", "\x1b[2;3HX", {"          ", "  X       "}, 1, 3},
        {"cursor position clamped", "\x1b[9;99HX\x1b[0;0HY", {"Y         ", "         X"}, 0, 1},
        {"home without numbers", "abc\x1b[HX", {"Xbc       ", "          "}, 0, 1},
        {"clear and home", "abc\ndef\x1b[2JX", {"X         ", "          "}, 0, 1},
        {"other control bytes change nothing",
         "a\x05\x07\x14\x7F\x1F"
         "b",
         {"ab        ", "          "},
         0,
         2},
        {"an unknown sequence changes nothing", "a\x1b[5mb", {"ab        ", "          "}, 0, 2},
        {"an unknown sequence is consumed through its final byte",
         "a\x1b[9xb\x1b[?25hc\x1b[>0;1@d",
         {"abcd      ", "          "},
         0,
         4},
        {"a two-byte escape is consumed",
         "a\x1bZb\x1b"
         "7c\x1b~d",
         {"abcd      ", "          "},
         0,
         4},
        {"an escape with intermediates is consumed",
         "a\x1b(Bb\x1b#8c\x1b ([d",
         {"abcd      ", "          "},
         0,
         4},
        {"intermediates make H and J unknown",
         "ab\x1b[2;3 H\x1b[2 Jc\x1b[2!J",
         {"abc       ", "          "},
         0,
         3},
        {"cursor position with other parameter bytes does nothing",
         "ab\x1b[2:3H\x1b[?2Jc",
         {"abc       ", "          "},
         0,
         3},
        {"a broken sequence: the byte that breaks it counts",
         "ab\x1b[1\rc\x1b\nd\x1b[\xE4",
         {"cb        ", " d\xE4       "},
         1,
         3},
        {"an escape restarts a sequence", "a\x1b[1\x1b[2;2HX", {"a         ", " X        "}, 1, 2},
        {"too long a sequence is consumed and does nothing",
         "ab\x1b[1;2;3;4;5Hc",
         {"abc       ", "          "},
         0,
         3},
        {"high bytes are cells", "\xE4\xDF\x81", {"\xE4\xDF\x81       ", "          "}, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        CharacterDisplay display(10, 2);
        display.Feed(Bytes(c.Stream));
        EXPECT_EQ(display.Text(), c.Lines);
        EXPECT_EQ(display.CursorLine(), c.Line);
        EXPECT_EQ(display.CursorColumn(), c.Column);
    }
}

TEST(CharacterDisplay, CustomerDisplayCommands) {
    using namespace std::string_view_literals;
    struct Case {
        const char* Name;
        std::string_view Stream;
        std::vector<std::string> Lines; ///< 10 x 2
        int Line, Column, Brightness;
    };
    const std::string blank(10, ' ');
    const Case cases[] = {
        {"ESC @: cleared, home, brightest, vertical scroll",
         "\x1FX\x01"
         "abc\x1F\x01\x1B@0123456789abcdefghijX"sv,
         {"abcdefghij", "X         "},
         1,
         1,
         0},
        {"US MD1: overwrite, from the last cell home at once",
         "\x1F\x01"
         "0123456789abcdefghijXY"sv,
         {"XY23456789", "abcdefghij"},
         0,
         2,
         0},
        {"ESC DC1: overwrite, LF at the bottom to the top line",
         "\x1B\x11\nA\nB"sv,
         {" B        ", "A         "},
         0,
         2,
         0},
        {"US MD3, ESC DC3: horizontal scroll shifts the line",
         "\x1F\x03"
         "0123456789AB\x1B\x13\rx\x1F\x02\x1B\x12"sv,
         {"x3456789AB", blank},
         0,
         1,
         0},
        {"US MD2, ESC DC2: vertical scroll again",
         "\x1F\x01\x1F\x02\x1B\x11\x1B\x12"
         "0123456789abcdefghijX"sv,
         {"abcdefghij", "X         "},
         1,
         1,
         0},
        {"US $ and ESC l: column x, line y",
         "\x1F$\x03\x02X\x1Bl\x01\x01Y"sv,
         {"Y         ", "  X       "},
         0,
         1,
         0},
        {"US $ and ESC l out of range are ignored",
         "ab\x1F$\x0B\x01\x1F$\x01\x03\x1F$\x00\x01\x1Bl\x0B\x02\x1Bl\x02\x00"
         "c"sv,
         {"abc       ", blank},
         0,
         3,
         0},
        {"a parameter byte that is a control byte",
         "\x1F$\x0A\x01X"sv,
         {"         X", blank},
         0,
         10,
         0},
        {"US X: 4 brightest", "\x04\x1FX\x04"sv, {blank, blank}, 0, 0, 0},
        {"US X: 1 dimmest, out of range ignored",
         "\x1FX\x01\x1FX\x05\x1FX\x00"sv,
         {blank, blank},
         0,
         0,
         3},
        {"ESC *: 2, out of range ignored",
         "\x1B*\x02\x1B*\x1B"
         "b"sv,
         {"b         ", blank},
         0,
         1,
         2},
        {"parameter bytes that would be text are consumed",
         "a\x1F"
         "C0\x1Bt1\x1BR2\x1F"
         "E5\x1B_0\x1B"
         "f3\x1B?Ab"sv,
         {"ab        ", blank},
         0,
         2,
         0},
        {"parameter bytes that would set the brightness are consumed",
         "a\x1F@\x1B=\x02\x1B%\x03\x1F"
         "C\x04\x1B_\x03\x1B"
         "f\x02"
         "b"sv,
         {"ab        ", blank},
         0,
         2,
         0},
        {"US B, US LF, US CR",
         "\x1F"
         "Bx\x1F\nY\x1F\rZ"sv,
         {" Y       Z", "x         "},
         0,
         10,
         0},
        {"BS, HT, HOM", "abc\b\bX\tY\vZ"sv, {"ZXcY      ", blank}, 0, 1, 0},
        {"scroll mode: BS up to the line above, stops at home; US LF stops at the top",
         "\x1F$\x01\x02\bA\v\bB\x1F\nC"sv,
         {"BC       A", blank},
         0,
         2,
         0},
        {"overwrite: BS at home and US LF at the top wrap around",
         "\x1F\x01\bA\x1F\nB"sv,
         {blank, "B        A"},
         1,
         1,
         0},
        {"HT past the end wraps as text does",
         "\x1F$\x0A\x02X\tY"sv,
         {"         X", " Y        "},
         1,
         2,
         0},
        {"CAN clears the cursor's line", "abc\ndef\x18X"sv, {"abc       ", "X         "}, 1, 1, 0},
        {"CLR clears, cursor home", "abc\ndef\fX"sv, {"X         ", blank}, 0, 1, 0},
        {"an unknown US command: the byte counts on its own",
         "a\x1Fzb\x1F\x1B[2;1HX"sv,
         {"azb       ", "X         "},
         1,
         1,
         0},
        {"no command after intermediates", "a\x1B(tb"sv, {"ab        ", blank}, 0, 2, 0},
        {"a cut command does nothing yet", "ab\x1F$\x03"sv, {"ab        ", blank}, 0, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::vector<std::uint8_t> stream = Bytes(c.Stream);
        // Any split into two reads gives the same display.
        for (std::size_t split = 0; split <= stream.size(); ++split) {
            CharacterDisplay display(10, 2);
            display.Feed(std::span(stream).first(split));
            display.Feed(std::span(stream).subspan(split));
            ASSERT_EQ(display.Text(), c.Lines) << "split at " << split;
            ASSERT_EQ(display.CursorLine(), c.Line) << "split at " << split;
            ASSERT_EQ(display.CursorColumn(), c.Column) << "split at " << split;
            ASSERT_EQ(display.Brightness(), c.Brightness) << "split at " << split;
        }
    }
}

TEST(CharacterDisplay, BrightnessLevels) {
    CharacterDisplay display;
    const std::pair<std::uint8_t, int> steps[] = {{0x04, 3}, {0x03, 2}, {0x02, 1}, {0x01, 0}};
    for (const auto& [byte, level] : steps) {
        display.Feed(byte);
        EXPECT_EQ(display.Brightness(), level);
    }
    EXPECT_EQ(display.Text()[0], std::string(20, ' ')) << "no cell changed";
}

TEST(CharacterDisplay, SizeIsTakenIntoItsLimits) {
    EXPECT_EQ(CharacterDisplay(2, 0).Columns(), 8);
    EXPECT_EQ(CharacterDisplay(2, 0).Lines(), 1);
    EXPECT_EQ(CharacterDisplay(200, 20).Columns(), 80);
    EXPECT_EQ(CharacterDisplay(200, 20).Lines(), 8);
}

// The display's port of the engine: the bytes of every write.
class StreamPort : public DisplayPort {
public:
    std::string Stream;
    void SendText(std::string_view text) override { Stream += text; }
    [[nodiscard]] bool SendInProgress() const override { return false; }
};

// The lines "L<line>-<tick>...", padded, of `width` x `lines`.
std::vector<std::string> ExpectedLines(int width, int lines, int tick) {
    std::vector<std::string> expected;
    for (int line = 1; line <= lines; ++line) {
        std::string text = "L" + std::to_string(line) + "-" + std::to_string(tick);
        text.resize(static_cast<std::size_t>(width), '.');
        expected.push_back(text);
    }
    return expected;
}

TEST(CharacterDisplay, EngineFramesShowTheirLinesInPlace) {
    struct Geometry {
        int Width, Lines;
        bool Ba63, CarriageReturn;
    };
    const Geometry geometries[] = {
        {20, 1, false, false}, {20, 2, false, false}, {40, 4, false, false}, {80, 8, false, false},
        {20, 2, false, true},  {40, 4, false, true},  {20, 2, true, false},  {20, 1, true, false}};
    for (const Geometry& g : geometries) {
        SCOPED_TRACE(std::to_string(g.Width) + "x" + std::to_string(g.Lines) +
                     (g.Ba63 ? " BA63" : "") + (g.CarriageReturn ? " CR" : ""));
        Settings settings;
        settings.LineWidth = g.Width;
        settings.LineCount = g.Lines;
        settings.Ba63Mode = g.Ba63;
        settings.SendCarriageReturn = g.CarriageReturn;
        host::FixedHost host;
        HostPlayer player(host.Messenger());
        StreamPort port;
        DisplayEngine engine(settings, player, port);
        port.Stream =
            InitCommandBytes("20") + std::string(SequenceBytes(DisplaySequence::StartLineFeed));
        std::vector<std::size_t> frameEnds;
        for (int tick = 1; tick <= 3; ++tick) {
            for (int line = 1; line <= kLinesPerSet; ++line) {
                std::string text = "L" + std::to_string(line) + "-" + std::to_string(tick);
                text.resize(static_cast<std::size_t>(g.Width), '.');
                settings.Slot(1, line).Template = text;
            }
            engine.WriteDisplayFrame();
            frameEnds.push_back(port.Stream.size());
        }
        engine.ClearDisplay();

        const int shown = g.Ba63 ? 2 : g.Lines;
        CharacterDisplay whole(g.Width, shown);
        const std::vector<std::uint8_t> stream = Bytes(port.Stream);
        for (std::size_t at = 0, frame = 0; at < stream.size(); ++at) {
            whole.Feed(stream[at]);
            if (frame < frameEnds.size() && at + 1 == frameEnds[frame]) {
                std::vector<std::string> expected =
                    ExpectedLines(g.Width, shown, static_cast<int>(frame) + 1);
                if (g.Ba63 && g.Lines == 1) {
                    expected[1] = std::string(static_cast<std::size_t>(g.Width), ' ');
                }
                EXPECT_EQ(whole.Text(), expected) << "after frame " << frame + 1;
                ++frame;
            }
        }
        const std::string blank(static_cast<std::size_t>(g.Ba63 ? 20 : g.Width), ' ');
        EXPECT_EQ(whole.Text(), std::vector<std::string>(static_cast<std::size_t>(shown), blank))
            << "the blank frame clears";
        // Any split into two reads gives the same display.
        for (std::size_t split = 0; split <= stream.size(); ++split) {
            CharacterDisplay parts(g.Width, shown);
            parts.Feed(std::span(stream).first(split));
            parts.Feed(std::span(stream).subspan(split));
            ASSERT_EQ(parts.Text(), whole.Text()) << "split at " << split;
        }
    }
}

} // namespace
} // namespace lum::vfd
