#pragma once
// A vacuum fluorescent character display of W x N cells, fed one byte at a time. It understands
// the plug-in's streams, the ESC/POS customer-display commands and the CD5220 commands at once
// (CommandTable.h lists them): no byte sequence of one set means something else in another.
//
//   0x20-0x7E, 0x80-0xFF  written at the cursor, which moves right. In the scroll modes the wrap
//                         waits for the next byte: past the last column it goes to column 1 of
//                         the next line, and past the bottom line everything scrolls up (vertical
//                         scroll, the mode at power-on) or the line shifts left (horizontal
//                         scroll). In overwrite mode the cursor moves on at once, from the last
//                         cell to home.
//   CR, LF                cursor to column 1; one line down (at the bottom: scrolls up, or in
//                         overwrite mode goes to the top line)
//   ESC "[r;cH"           cursor to line r, column c (1-based, clamped into the display; an
//                         empty number counts as 1)
//   ESC "[2J"             clear, cursor home
//   0x01-0x04             brightness: 0x01 brightest ... 0x04 dimmest
//   ESC/POS               ESC @ initialise; US MD1, MD2, MD3 (1F 01-03) overwrite, vertical,
//                         horizontal scroll; US $ x y cursor to column x, line y; US X n
//                         brightness 4 brightest ... 1 dimmest; US B bottom line, US LF up,
//                         US CR last column; US C n, US E n, US @, ESC t n, ESC R n, ESC = n,
//                         ESC % n, ESC ? n consumed
//   CD5220                ESC @; ESC DC1, DC2, DC3 the three modes; ESC l x y cursor; ESC * n
//                         brightness as US X n; ESC _ n, ESC f n consumed
//   both                  CLR (0C) clear, cursor home; CAN (18) clear the cursor's line; BS, HT
//                         one cell left, right; HOM (0B) cursor home. In overwrite mode BS, HT,
//                         LF and US LF wrap around the display; in the scroll modes BS stops at
//                         home and US LF at the top line.
//
// ESC @ returns to the state at power-on: cleared, cursor home, brightest, vertical scroll. A
// cursor position outside the display or a brightness outside 1-4 is ignored, as the displays
// ignore a parameter out of range. US before a byte that leads no command changes nothing and
// the byte is read afresh. Every other control byte changes nothing. Any other escape sequence
// is consumed whole, as a terminal does, and changes nothing: ESC "[", parameter bytes 0x30-0x3F,
// intermediate bytes 0x20-0x2F, a final byte 0x40-0x7E; or ESC, intermediate bytes, a final byte
// 0x30-0x7E. A byte that cannot continue a sequence (a control byte, DEL, 0x80-0xFF) ends it
// unfinished and is read afresh, so the parser never loses its place.

#include "tools/vfd/CommandTable.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lum::vfd {

/// The display's size limits.
inline constexpr int kMinColumns = 8;
inline constexpr int kMaxColumns = 80;
inline constexpr int kMinLines = 1;
inline constexpr int kMaxLines = 8;

/// The display's state.
class CharacterDisplay {
public:
    /// A cleared display of `columns` x `lines` (taken into 8-80 x 1-8), cursor home, brightest.
    CharacterDisplay(int columns = 20, int lines = 2);

    /// Takes one byte, or several.
    void Feed(std::uint8_t byte);
    void Feed(std::span<const std::uint8_t> bytes);

    [[nodiscard]] int Columns() const { return columns_; }
    [[nodiscard]] int Lines() const { return lines_; }
    /// The cells of each line, as Windows-1252 text.
    [[nodiscard]] const std::vector<std::string>& Text() const { return cells_; }
    /// The cursor: line 0..Lines-1, column 0..Columns (Columns: past the last cell).
    [[nodiscard]] int CursorLine() const { return line_; }
    [[nodiscard]] int CursorColumn() const { return column_; }
    /// 0 brightest to 3 dimmest.
    [[nodiscard]] int Brightness() const { return brightness_; }

private:
    enum class State { Text, Escape, Bracket, UnitSeparator, Parameters };
    enum class Mode { VerticalScroll, Overwrite, HorizontalScroll };

    void TakeText(std::uint8_t byte);
    void Print(std::uint8_t byte);
    void Advance();
    void WrapIfPastEnd();
    void Down();
    void Clear();
    void Escape(std::uint8_t byte);
    void Control(std::uint8_t final);
    void Begin(const Command& command);
    void Apply(const Command& command);

    int columns_;
    int lines_;
    std::vector<std::string> cells_;
    int line_ = 0;
    int column_ = 0;
    int brightness_ = 0;
    Mode mode_ = Mode::VerticalScroll;
    State state_ = State::Text;
    std::string parameters_;           ///< what followed ESC "[" so far
    bool unknown_ = false;             ///< the sequence read so far is none of the known ones
    const Command* command_ = nullptr; ///< the command whose parameter bytes are being read
    std::array<std::uint8_t, kMaxParameterBytes> parameterBytes_{};
    int parameterCount_ = 0; ///< parameter bytes of command_ read so far
};

} // namespace lum::vfd
