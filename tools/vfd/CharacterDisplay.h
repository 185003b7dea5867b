#pragma once
// A vacuum fluorescent character display of W x N cells as the plug-in drives it, fed one byte
// at a time:
//
//   0x20-0x7E, 0x80-0xFF  written at the cursor, which moves right; the wrap is deferred: a byte
//                         that finds the cursor past the last column first moves it to column 1
//                         of the next line, and past the bottom line everything scrolls up one
//                         line (vertical scroll mode)
//   CR                    cursor to column 1
//   LF                    cursor to the next line, scrolling at the bottom
//   ESC "[r;cH"           cursor to line r, column c (1-based, clamped into the display; an
//                         empty number counts as 1)
//   ESC "[2J"             clear, cursor home
//   0x01-0x04             brightness: 0x01 brightest ... 0x04 dimmest
//
// Every other control byte changes nothing. Any other escape sequence is consumed whole, as a
// terminal does, and changes nothing: ESC "[", parameter bytes 0x30-0x3F, intermediate bytes
// 0x20-0x2F, a final byte 0x40-0x7E; or ESC, intermediate bytes, a final byte 0x30-0x7E. A byte
// that cannot continue a sequence (a control byte, DEL, 0x80-0xFF) ends it unfinished and is read
// afresh, so the parser never loses its place.

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
    void Print(std::uint8_t byte);
    void LineFeed();
    void Clear();
    void Escape(std::uint8_t byte);
    void Control(std::uint8_t final);

    enum class State { Text, Escape, Bracket };

    int columns_;
    int lines_;
    std::vector<std::string> cells_;
    int line_ = 0;
    int column_ = 0;
    int brightness_ = 0;
    State state_ = State::Text;
    std::string parameters_; ///< what followed ESC "[" so far
    bool unknown_ = false;   ///< the sequence read so far is none of the known ones
};

} // namespace lum::vfd
