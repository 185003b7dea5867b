#include "tools/vfd/TerminalView.h"

#include "common/Utf8.h"

#include <cstdio>
#include <iterator>

namespace lum::vfd {

namespace {

/// The lit cells' colour at each brightness level (0 brightest).
constexpr const char* kLitColor[] = {"\x1b[38;2;77;255;210m", "\x1b[38;2;55;184;151m",
                                     "\x1b[38;2;38;128;105m", "\x1b[38;2;25;82;67m"};
static_assert(std::size(kLitColor) == 4, "one colour per brightness byte 0x01-0x04");
constexpr const char* kGlass = "\x1b[48;2;5;9;8m";
constexpr const char* kReset = "\x1b[0m";

/// What the terminal shows for a byte that holds no character: a block, as on the display.
constexpr std::string_view kNoCharacter = "\u2588";

} // namespace

std::string ShownText(std::string_view cells, const DisplayCharset& set) {
    std::string shown;
    shown.reserve(cells.size());
    for (const char cell : cells) {
        if (const auto codePoint = set.CodePointOf(static_cast<std::uint8_t>(cell))) {
            AppendUtf8(shown, *codePoint);
        } else {
            shown += kNoCharacter;
        }
    }
    return shown;
}

std::string TerminalDrawing(const CharacterDisplay& display, const DisplayCharset& set,
                            const std::string& status, bool moveBack) {
    std::string out;
    const int height = display.Lines() + 3;
    if (moveBack) {
        out += "\x1b[" + std::to_string(height) + "A";
    }
    const std::string border(static_cast<std::size_t>(display.Columns()), '-');
    out += "+" + border + "+\x1b[K\n";
    const char* lit = kLitColor[display.Brightness()];
    for (const std::string& line : display.Text()) {
        out += std::string("|") + kGlass + lit;
        out += ShownText(line, set);
        out += std::string(kReset) + "|\x1b[K\n";
    }
    out += "+" + border + "+\x1b[K\n";
    out += status + "\x1b[K\n";
    return out;
}

std::string PlainText(const CharacterDisplay& display, const DisplayCharset& set) {
    std::string out;
    for (const std::string& line : display.Text()) {
        out += ShownText(line, set) + "\n";
    }
    return out;
}

} // namespace lum::vfd
