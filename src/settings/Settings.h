#pragma once
// The plug-in's whole configuration: serial line, display geometry, refresh timing, four text
// sets of eight line templates with their scroll modes. The plug-in keeps one instance, edited in
// place by the configuration dialog and read at the moment of use by everyone else. What the
// display shows at run time (the active set, the scroll offsets) is the engine's (ShowState).

#include <array>
#include <cstdint>
#include <iterator>
#include <string>

namespace lum {

/// Scroll modes of a display line: the index of the entry chosen in the line's combo box.
enum ScrollModeIndex : std::int32_t {
    kScrollNone = -1, ///< no entry selected; handled like kScrollOff
    kScrollOff = 0,   ///< "Aus"
    kScrollLeft = 1,  ///< "Links"
    kScrollRight = 2, ///< "Rechts"
};

/// One display line of a text set.
struct LineSlot {
    std::string Template;                  ///< line template with %-variables
    std::int32_t ScrollMode = kScrollNone; ///< a ScrollModeIndex value

    friend bool operator==(const LineSlot&, const LineSlot&) = default;
};

/// Number of text sets and of line slots in each set.
inline constexpr int kTextSetCount = 4;
inline constexpr int kLinesPerSet = 8;

/// Eight line templates for display lines 1 (top) to 8.
struct TextSet {
    std::array<LineSlot, kLinesPerSet> Lines;

    friend bool operator==(const TextSet&, const TextSet&) = default;
};

/// The baud rates selectable by BaudRateIndex, and the rate used when no entry is selected.
inline constexpr std::int32_t kBaudRates[] = {2400, 4800, 9600, 14400, 19200};
static_assert(std::size(kBaudRates) == 5);
inline constexpr std::int32_t kDefaultBaudRate = 9600;

/// The configuration record with its start values (the first-run configuration).
struct Settings {
    Settings();

    std::int32_t ComPort = 1;          ///< 1-9: "COM1" to "COM9"
    std::int32_t LineWidth = 20;       ///< 8-80 characters per display line
    std::int32_t UpdateInterval = 300; ///< 1-999 ms between refresh ticks
    std::int32_t LineCount = 2;        ///< 1-8 display lines sent per frame
    std::string Separator = " ** ";    ///< appended to a long line before it scrolls
    std::string InitCommand = "20";    ///< decimal code of the byte sent at display start
    bool ShowMainWindow = true;
    bool DisplayOff = true;
    bool MainWindowMinimized = true;
    std::array<TextSet, kTextSetCount> Sets; ///< text sets 1-4 at indexes 0-3
    std::int32_t BaudRateIndex = -1;         ///< index into kBaudRates; -1 = none selected
    bool SendCarriageReturn = false;
    std::int32_t SetChangeSeconds = 0; ///< 0-255; 0 = no set rotation
    std::int32_t SetCount = 1;         ///< 1-4 sets in the rotation
    bool Ba63Mode = false;
    bool ReplaceUmlauts = true;

    /// Line `line` (1-8) of text set `set` (1-4).
    [[nodiscard]] LineSlot& Slot(int set, int line) { return Sets.at(set - 1).Lines.at(line - 1); }
    [[nodiscard]] const LineSlot& Slot(int set, int line) const {
        return Sets.at(set - 1).Lines.at(line - 1);
    }

    friend bool operator==(const Settings&, const Settings&) = default;
};

/// The rate BaudRateIndex selects; kDefaultBaudRate when it selects none (as the dialog's
/// "Baudrate" box shows a loaded file's value).
[[nodiscard]] std::uint32_t SelectedBaudRate(const Settings& settings);

} // namespace lum
