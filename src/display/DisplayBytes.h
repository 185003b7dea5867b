#pragma once
// Every byte sequence of the plug-in's three frame kinds (PluginProtocols.cpp), in one place:
//
//   frame, plain         line 1 ... line N, each exactly LineWidth bytes
//   frame, plain + CR    line 1 ... line N, CR
//   frame, BA63          ESC "[1;1H", line 1, LF, CR, line 2
//   clear, plain         LineWidth x LineCount blanks (then CR with SendCarriageReturn)
//   clear, BA63          ESC "[1;1H", 20 blanks, LF, CR, 20 blanks (48 bytes)
//   initialisation       one byte: InitCommand as a decimal number, its low 8 bits
//   start line feed      CR, LF
//   brightness           one byte: 0x04 "Hell 1" (dimmest) ... 0x01 "Hell 4" (brightest)

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>

namespace lum {

/// The fixed sequences of the display protocol.
enum class DisplaySequence {
    CursorHome,    ///< BA63: cursor to row 1, column 1 before a frame
    Ba63LineBreak, ///< BA63: between line 1 and line 2
    FrameEnd,      ///< after a plain frame with SendCarriageReturn
    StartLineFeed, ///< display start, after the initialisation byte
    Ba63Clear,     ///< BA63: the whole clear text, always 20 columns
};

/// One fixed sequence and its bytes.
struct DisplaySequenceEntry {
    DisplaySequence Sequence;
    std::string_view Bytes;
};

/// The fixed sequences, in the order of DisplaySequence.
inline constexpr DisplaySequenceEntry kDisplaySequences[] = {
    // Sequence                      Bytes
    {DisplaySequence::CursorHome, "\x1B[1;1H"},
    {DisplaySequence::Ba63LineBreak, "\n\r"},
    {DisplaySequence::FrameEnd, "\r"},
    {DisplaySequence::StartLineFeed, "\r\n"},
    {DisplaySequence::Ba63Clear, "\x1B[1;1H                    \n\r                    "},
};
static_assert(std::size(kDisplaySequences) == 5);
static_assert(
    kDisplaySequences[static_cast<std::size_t>(DisplaySequence::Ba63Clear)].Bytes.size() == 48);

/// The bytes of a fixed sequence.
[[nodiscard]] constexpr std::string_view SequenceBytes(DisplaySequence sequence) {
    return kDisplaySequences[static_cast<std::size_t>(sequence)].Bytes;
}

/// One brightness step of the main window's buttons and its command byte.
struct BrightnessStep {
    std::string_view Caption;
    char Byte;
};

/// The four brightness steps, dimmest first: step N is "Hell N", byte 5 - N (the display reads
/// 0x01 as its brightest).
inline constexpr BrightnessStep kBrightnessSteps[] = {
    // Caption  Byte
    {"Hell 1", '\x04'},
    {"Hell 2", '\x03'},
    {"Hell 3", '\x02'},
    {"Hell 4", '\x01'},
};
static_assert(std::size(kBrightnessSteps) == 4);

/// The byte of brightness step `step` (1-4) as a one-byte text.
[[nodiscard]] std::string BrightnessBytes(int step);

/// The initialisation byte for `initCommand`: empty for an empty text, otherwise the low 8 bits
/// of the text read as a decimal integer. Raises "'%s' ist kein gültiger Integerwert" for a text
/// that is no such number.
[[nodiscard]] std::string InitCommandBytes(std::string_view initCommand);

} // namespace lum
