#pragma once
// The commands the virtual display knows besides text and ECMA-48 escape sequences: the
// plug-in's control bytes and the customer-display command sets ESC/POS (Epson-compatible pole
// displays, commands led by ESC or US) and CD5220 (led by ESC). A command is its leading bytes
// (one control byte, or ESC or US and one more byte), then a fixed number of parameter bytes,
// each taken whatever its value, as the displays take them.

#include <cstdint>
#include <iterator>
#include <string_view>

namespace lum::vfd {

/// What a command does to the display.
enum class Effect {
    Nothing,          ///< consumed: a setting the model does not show (cursor, blink, tables)
    Initialise,       ///< the state at power-on: cleared, cursor home, brightest, vertical scroll
    Clear,            ///< every cell blank, cursor home
    ClearLine,        ///< the cursor's line blank, cursor to its column 1
    Home,             ///< cursor to line 1, column 1
    Bottom,           ///< cursor to the bottom line, column 1
    LineStart,        ///< cursor to column 1
    LineEnd,          ///< cursor to the last column
    Left,             ///< cursor one cell left
    Right,            ///< cursor one cell right, on to the next line as text goes
    Down,             ///< cursor one line down
    Up,               ///< cursor one line up
    Position,         ///< cursor to column x, line y (the parameters, from 1)
    LevelByte,        ///< brightness from the command byte: 0x01 brightest ... 0x04 dimmest
    Brightness,       ///< brightness from the parameter: 4 brightest ... 1 dimmest
    Overwrite,        ///< overwrite mode
    VerticalScroll,   ///< vertical scroll mode
    HorizontalScroll, ///< horizontal scroll mode
};

/// One command: its leading bytes, how many parameter bytes follow, what it does.
struct Command {
    std::string_view Bytes;
    int ParameterCount;
    Effect Does;
};

inline constexpr std::uint8_t kEscape = 0x1B;
inline constexpr std::uint8_t kUnitSeparator = 0x1F;
/// The most parameter bytes a command has.
inline constexpr int kMaxParameterBytes = 2;

// clang-format off
inline constexpr Command kCommands[] = {
    // Bytes         ParameterCount Does                          name      set
    {"\x01",         0,             Effect::LevelByte},        // 0x01      plug-in
    {"\x02",         0,             Effect::LevelByte},        // 0x02      plug-in
    {"\x03",         0,             Effect::LevelByte},        // 0x03      plug-in
    {"\x04",         0,             Effect::LevelByte},        // 0x04      plug-in
    {"\b",           0,             Effect::Left},             // BS        ESC/POS, CD5220
    {"\t",           0,             Effect::Right},            // HT        ESC/POS, CD5220
    {"\n",           0,             Effect::Down},             // LF        all
    {"\v",           0,             Effect::Home},             // HOM       ESC/POS, CD5220
    {"\f",           0,             Effect::Clear},            // CLR       ESC/POS, CD5220
    {"\r",           0,             Effect::LineStart},        // CR        all
    {"\x18",         0,             Effect::ClearLine},        // CAN       ESC/POS, CD5220
    {"\x1B" "@",     0,             Effect::Initialise},       // ESC @     ESC/POS, CD5220
    {"\x1B" "t",     1,             Effect::Nothing},          // ESC t n   ESC/POS: character table
    {"\x1B" "R",     1,             Effect::Nothing},          // ESC R n   ESC/POS: international set
    {"\x1B" "=",     1,             Effect::Nothing},          // ESC = n   ESC/POS: peripheral device
    {"\x1B" "%",     1,             Effect::Nothing},          // ESC % n   ESC/POS: user-defined set
    {"\x1B" "?",     1,             Effect::Nothing},          // ESC ? n   ESC/POS: user character off
    {"\x1B" "\x11",  0,             Effect::Overwrite},        // ESC DC1   CD5220
    {"\x1B" "\x12",  0,             Effect::VerticalScroll},   // ESC DC2   CD5220
    {"\x1B" "\x13",  0,             Effect::HorizontalScroll}, // ESC DC3   CD5220
    {"\x1B" "l",     2,             Effect::Position},         // ESC l x y CD5220
    {"\x1B" "*",     1,             Effect::Brightness},       // ESC * n   CD5220
    {"\x1B" "_",     1,             Effect::Nothing},          // ESC _ n   CD5220: cursor on/off
    {"\x1B" "f",     1,             Effect::Nothing},          // ESC f n   CD5220: international set
    {"\x1F" "\x01",  0,             Effect::Overwrite},        // US MD1    ESC/POS
    {"\x1F" "\x02",  0,             Effect::VerticalScroll},   // US MD2    ESC/POS
    {"\x1F" "\x03",  0,             Effect::HorizontalScroll}, // US MD3    ESC/POS
    {"\x1F" "$",     2,             Effect::Position},         // US $ x y  ESC/POS
    {"\x1F" "X",     1,             Effect::Brightness},       // US X n    ESC/POS
    {"\x1F" "C",     1,             Effect::Nothing},          // US C n    ESC/POS: cursor on/off
    {"\x1F" "E",     1,             Effect::Nothing},          // US E n    ESC/POS: blink
    {"\x1F" "@",     0,             Effect::Nothing},          // US @      ESC/POS: self-test
    {"\x1F" "B",     0,             Effect::Bottom},           // US B      ESC/POS
    {"\x1F" "\n",    0,             Effect::Up},               // US LF     ESC/POS
    {"\x1F" "\r",    0,             Effect::LineEnd},          // US CR     ESC/POS
};
// clang-format on
static_assert(std::size(kCommands) == 35);

/// True when every command is a control byte, or ESC or US and one byte, with at most
/// kMaxParameterBytes parameters.
[[nodiscard]] constexpr bool CommandsWellFormed() {
    for (const Command& command : kCommands) {
        const auto lead = static_cast<std::uint8_t>(command.Bytes.front());
        const bool single =
            command.Bytes.size() == 1 && lead < 0x20 && lead != kEscape && lead != kUnitSeparator;
        const bool led = command.Bytes.size() == 2 && (lead == kEscape || lead == kUnitSeparator);
        if (!(single || led) || command.ParameterCount < 0 ||
            command.ParameterCount > kMaxParameterBytes) {
            return false;
        }
    }
    return true;
}
static_assert(CommandsWellFormed());

/// The command whose leading bytes are `bytes`, or none.
[[nodiscard]] constexpr const Command* FindCommand(std::string_view bytes) {
    for (const Command& command : kCommands) {
        if (command.Bytes == bytes) {
            return &command;
        }
    }
    return nullptr;
}

} // namespace lum::vfd
