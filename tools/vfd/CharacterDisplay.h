#pragma once
// A vacuum fluorescent character display of W x N cells, fed one byte at a time. It understands
// the plug-in's streams and the ESC/POS and CD5220 customer-display command sets at once (no
// byte sequence of one means something else in another; CommandTable.h lists the commands):
//
//   0x20-0x7E, 0x80-0xFF  written at the cursor, which moves right. In the scroll modes the wrap
//                         waits for the next byte: past the last column it goes to column 1 of
//                         the next line, and past the bottom line everything scrolls up (vertical
//                         scroll) or the line shifts left (horizontal scroll). In overwrite mode
//                         the cursor moves on at once, from the last cell to home.
//   CR, LF                cursor to column 1; one line down, at the bottom scrolling up (in
//                         overwrite mode: to the top line)
//   ESC "[r;cH"           cursor to line r, column c (1-based, clamped into the display; an
//                         empty number counts as 1)
//   ESC "[2J", CLR        clear, cursor home
//   0x01-0x04             brightness: 0x01 brightest ... 0x04 dimmest
//   US X n, ESC * n       brightness: n = 4 brightest ... 1 dimmest; any other n is ignored
//   US $ x y, ESC l x y   cursor to column x, line y (from 1); outside the display ignored
//   US MD1-3, ESC DC1-3   overwrite, vertical scroll (the mode at power-on), horizontal scroll
//   ESC @                 the state at power-on: cleared, cursor home, brightest, vertical scroll
//   CAN                   the cursor's line cleared, cursor to its column 1
//   BS, HT, HOM           cursor left, right (wrapping as text does), home
//   US B, US LF, US CR    cursor to the bottom line, up, to the last column
//   the table's others    consumed with their parameter bytes; they change nothing shown
//
// In overwrite mode BS and US LF wrap around the display; in the scroll modes BS stops at home
// and US LF at the top line. Parameter bytes are taken whatever their value. Every other control
// byte changes nothing, and so does US before a byte that leads no command (that byte is read
// afresh). Any other escape sequence is consumed whole, as a terminal does, and changes nothing:
// ESC "[", parameter bytes 0x30-0x3F, intermediate bytes 0x20-0x2F, a final byte 0x40-0x7E; or
// ESC, intermediate bytes, a final byte 0x30-0x7E. A byte that cannot continue a sequence (a
// control byte, DEL, 0x80-0xFF) ends it unfinished and is read afresh, so the parser never loses
// its place.

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
