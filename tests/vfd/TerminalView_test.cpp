// The display in the terminal: the cells' bytes as the characters the display's set shows.
#include "tools/vfd/TerminalView.h"

#include <gtest/gtest.h>

namespace lum::vfd {
namespace {

TEST(TerminalView, ShowsEachCellAsItsCharacterInTheDisplaysSet) {
    struct Case {
        const char* Name;
        const char* Charset;
        std::string Cells;
        std::string Shown;
    };
    const Case cases[] = {
        {"ascii", "cp1252", "Titel", "Titel"},
        {"umlauts", "cp1252", "\xE4\xF6\xFC\xDF", "\u00e4\u00f6\u00fc\u00df"},
        {"euro, dash and quote", "cp1252", "\x80\x96\x92", "\u20ac\u2013\u2019"},
        {"a byte without a character", "cp1252", "a\x81z", "a\u2588z"},
        {"umlauts of code page 437", "cp437", "\x84\x94\x81\xE1", "\u00e4\u00f6\u00fc\u00df"},
        {"code page 850's own", "cp850", "\x9B\x9D\xD5", "\u00f8\u00d8\u0131"},
        {"code page 858's euro", "cp858", "\xD5\x9B", "\u20ac\u00f8"},
        {"nothing above ascii", "ascii", "a\xE4z", "a\u2588z"},
    };
    for (const Case& c : cases) {
        CharacterDisplay display(8, 1);
        for (const char byte : c.Cells) {
            display.Feed(static_cast<std::uint8_t>(byte));
        }
        const DisplayCharset& set = *DisplayCharset::Find(c.Charset);
        const std::string drawing = TerminalDrawing(display, set, "", false);
        EXPECT_NE(drawing.find(c.Shown), std::string::npos) << c.Name << ": " << drawing;
        EXPECT_EQ(PlainText(display, set).substr(0, c.Shown.size()), c.Shown) << c.Name;
    }
}

} // namespace
} // namespace lum::vfd
