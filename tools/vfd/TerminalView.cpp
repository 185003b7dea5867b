#include "tools/vfd/TerminalView.h"

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

/// A Windows-1252 byte as UTF-8 for the terminal; bytes without a letter of their own show as a
/// block, as on the display.
std::string Utf8(unsigned char byte) {
    if (byte < 0x80) {
        return std::string(1, static_cast<char>(byte));
    }
    // Latin-1 letters map to the same code point; 0x80-0x9F are Windows-1252's own.
    if (byte >= 0xA0) {
        return {static_cast<char>(0xC0 | (byte >> 6)), static_cast<char>(0x80 | (byte & 0x3F))};
    }
    return byte == 0x80 ? "\u20AC" : "\u2588";
}

} // namespace

std::string TerminalDrawing(const CharacterDisplay& display, const std::string& status,
                            bool moveBack) {
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
        for (const char cell : line) {
            out += Utf8(static_cast<unsigned char>(cell));
        }
        out += std::string(kReset) + "|\x1b[K\n";
    }
    out += "+" + border + "+\x1b[K\n";
    out += status + "\x1b[K\n";
    return out;
}

std::string PlainText(const CharacterDisplay& display) {
    std::string out;
    for (const std::string& line : display.Text()) {
        out += line + "\n";
    }
    return out;
}

} // namespace lum::vfd
