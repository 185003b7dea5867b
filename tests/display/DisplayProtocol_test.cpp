// The display protocols as a display reads them: the engine's frames, brightness and clear in
// each protocol fed to the virtual display, whose screen must show what the engine meant; and
// the customer displays' bytes one by one.
#include "DisplayTestSupport.h"
#include "display/ProtocolOutput.h"
#include "display/ProtocolTable.h"
#include "tools/vfd/CharacterDisplay.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

namespace lum::test {
namespace {

using namespace std::string_literals;

/// A port that keeps the bytes not yet read and the size of the largest write.
class StreamPort : public DisplayPort {
public:
    std::string Stream;
    std::size_t Largest = 0;

    void SendText(std::string_view text) override {
        Stream += text;
        Largest = std::max(Largest, text.size());
    }
    [[nodiscard]] bool SendInProgress() const override { return false; }

    /// Feeds the bytes written since the last call to `display`.
    void FeedTo(vfd::CharacterDisplay& display) {
        for (const char byte : Stream) {
            display.Feed(static_cast<std::uint8_t>(byte));
        }
        Stream.clear();
    }
};

using ProtocolScreenTest = DisplayTest;

TEST_F(ProtocolScreenTest, FramesBrightnessAndClearShowOnTheDisplay) {
    struct Protocol {
        const char* Name;
        int Columns = 0; ///< the display's size when the protocol has one of its own
        int Lines = 0;
    };
    const Protocol protocols[] = {{"plain"}, {"cr"}, {"ba63", 20, 2}, {"escpos"}, {"cd5220"}};
    struct Geometry {
        int Width;
        int Lines;
        std::size_t TextLength; ///< longer than the width: the line is cut
    };
    const Geometry geometries[] = {{20, 2, 20}, {20, 4, 12}, {16, 1, 16}, {20, 2, 33}};
    for (const Protocol& protocol : protocols) {
        for (const Geometry& g : geometries) {
            SCOPED_TRACE(std::string(protocol.Name) + " " + std::to_string(g.Width) + "x" +
                         std::to_string(g.Lines) + " text " + std::to_string(g.TextLength));
            settings.LineWidth = g.Width;
            settings.LineCount = g.Lines;
            StreamPort stream;
            ProtocolOutput output(stream, MakeDisplayProtocol(protocol.Name, {}));
            DisplayEngine protocolEngine(settings, player, output);
            vfd::CharacterDisplay display(protocol.Columns ? protocol.Columns : g.Width,
                                          protocol.Lines ? protocol.Lines : g.Lines);
            const auto columns = static_cast<std::size_t>(display.Columns());
            protocolEngine.SendInitCommand();
            protocolEngine.SendStartLineFeed();
            for (int tick = 1; tick <= 2; ++tick) {
                std::vector<std::string> expected(static_cast<std::size_t>(display.Lines()),
                                                  std::string(columns, ' '));
                for (int line = 1; line <= kLinesPerSet; ++line) {
                    std::string text = "L" + std::to_string(line) + "-" + std::to_string(tick);
                    text.resize(g.TextLength, static_cast<char>('a' + line));
                    settings.Slot(1, line) = {text, kScrollLeft};
                    protocolEngine.Shown().ScrollOffset(1, line) = 0;
                    if (line <= std::min(g.Lines, display.Lines())) {
                        text.resize(static_cast<std::size_t>(g.Width), ' ');
                        expected[static_cast<std::size_t>(line - 1)].replace(0, text.size(), text);
                    }
                }
                protocolEngine.WriteDisplayFrame();
                stream.FeedTo(display);
                EXPECT_EQ(display.Text(), expected) << "frame " << tick;
            }
            for (int step = 1; step <= 4; ++step) {
                protocolEngine.SendBrightness(step);
                stream.FeedTo(display);
                EXPECT_EQ(display.Brightness(), 4 - step) << "Hell " << step;
            }
            protocolEngine.ClearDisplay();
            stream.FeedTo(display);
            EXPECT_EQ(display.Text(),
                      std::vector<std::string>(display.Text().size(), std::string(columns, ' ')));
            EXPECT_LE(stream.Largest, output.LargestWrite(static_cast<std::size_t>(g.Lines),
                                                          static_cast<std::size_t>(g.Width)));
        }
    }
}

TEST(CustomerDisplayBytes, EachCommand) {
    using Call = std::function<std::string(const DisplayProtocol&)>;
    const Call initialise = [](const DisplayProtocol& p) { return p.Initialise("20"); };
    const Call frame = [](const DisplayProtocol& p) { return p.Frame({"ab  cd  ", 4, 2}); };
    const Call clear = [](const DisplayProtocol& p) { return p.Clear({"        ", 4, 2}); };
    const Call dim = [](const DisplayProtocol& p) { return p.Brightness(1); };
    const Call bright = [](const DisplayProtocol& p) { return p.Brightness(4); };
    const Call others = [](const DisplayProtocol& p) {
        return p.StartLineFeed() + p.DialogOkText();
    };
    struct Row {
        const char* Protocol;
        ProtocolOptions Options;
        const Call& Sends;
        std::string Bytes;
    };
    const Row rows[] = {
        {"escpos", {}, initialise, "\x1B@\x1F\x01\x1F"s + "C\0\x1Bt\0\x1BR\0"s},
        {"escpos", {16, 2}, initialise, "\x1B@\x1F\x01\x1F"s + "C\0\x1Bt\x10\x1BR\x02"s},
        {"escpos", {}, frame, "\x1F$\x01\x01"s + "ab  \x1F$\x01\x02"s + "cd  "},
        {"escpos", {}, clear, "\x0C"},
        {"escpos", {}, dim, "\x1FX\x01"},
        {"escpos", {}, bright, "\x1FX\x04"},
        {"escpos", {}, others, ""},
        {"cd5220", {}, initialise, "\x1B@\x1B\x11\x1B_\0"s},
        {"cd5220", {{}, 'A'}, initialise, "\x1B@\x1B\x11\x1B_\0\x1B"s + "fA"},
        {"cd5220", {}, frame, "\x1Bl\x01\x01"s + "ab  \x1Bl\x01\x02"s + "cd  "},
        {"cd5220", {}, clear, "\x0C"},
        {"cd5220", {}, dim, "\x1B*\x01"},
        {"cd5220", {}, bright, "\x1B*\x04"},
        {"cd5220", {}, others, ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.Sends(*MakeDisplayProtocol(row.Protocol, row.Options)), row.Bytes)
            << row.Protocol << " row " << &row - rows;
    }
}

TEST(ProtocolTable, RefusesUnknownNamesAndOptionsAProtocolLacks) {
    const auto refusal = [](std::string_view name, const ProtocolOptions& options) {
        try {
            (void)MakeDisplayProtocol(name, options);
        } catch (const std::invalid_argument& error) {
            return std::string(error.what());
        }
        return "accepted"s;
    };
    EXPECT_EQ(refusal("vt100", {}),
              "unknown protocol 'vt100': one of plain, cr, ba63, escpos, cd5220");
    EXPECT_EQ(refusal("cd5220", {.CharacterTable = 0}),
              "protocol cd5220 has no character table to choose");
    EXPECT_EQ(refusal("ba63", {.InternationalSet = 2}),
              "protocol ba63 has no international character set to choose");
    EXPECT_EQ(refusal("escpos", {.CharacterTable = 0, .InternationalSet = 2}), "accepted");
}

} // namespace
} // namespace lum::test
