// The display in the terminal: the cells' Windows-1252 bytes as the characters they stand for.
#include "tools/vfd/TerminalView.h"

#include <gtest/gtest.h>

namespace lum::vfd {
namespace {

TEST(TerminalView, ShowsEachCellAsItsCharacter) {
    struct Case {
        const char* Name;
        std::string Cells;
        std::string Shown;
    };
    const Case cases[] = {
        {"ascii", "Titel", "Titel"},
        {"umlauts", "\xE4\xF6\xFC\xDF", "\u00e4\u00f6\u00fc\u00df"},
        {"euro, dash and quote", "\x80\x96\x92", "\u20ac\u2013\u2019"},
        {"a byte without a character", "a\x81z", "a\u2588z"},
    };
    for (const Case& c : cases) {
        CharacterDisplay display(8, 1);
        for (const char byte : c.Cells) {
            display.Feed(static_cast<std::uint8_t>(byte));
        }
        const std::string drawing = TerminalDrawing(display, "", false);
        EXPECT_NE(drawing.find(c.Shown), std::string::npos) << c.Name << ": " << drawing;
    }
}

} // namespace
} // namespace lum::vfd
