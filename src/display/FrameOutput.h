#pragma once
// Where the display engine's frames go. The engine builds each frame as lines of text and hands
// them, and the display's other commands, to a frame output:
//
//   Frame(lines)           the shown lines, each cut or padded to exactly the line width
//   Clear(blank)           the display left blank; `blank` is the frame of blank lines
//   Brightness(step)       "Hell 1" (1, dimmest) ... "Hell 4" (4, brightest)
//   Initialise(command)    the display's initialisation at the start; `command` is InitCommand
//   StartLineFeed()        the start sequence's line feed after the initialisation
//   DialogOkText()         what the configuration dialog's "OK" sends before it switches
//
// A byte protocol on the display's port is one output (ProtocolOutput, DisplayProtocol.h); an
// output that is no byte stream at all (a display server taking lines of text) is another. The
// engine knows only this interface; it never learns which protocol or server it feeds.

#include <cstddef>
#include <string_view>

namespace lum {

/// The lines of one frame: Count lines of exactly Width characters, back to back in Text.
struct FrameLines {
    std::string_view Text;
    std::size_t Width = 0;
    std::size_t Count = 0;

    /// Line `index` (0-based, below Count).
    [[nodiscard]] std::string_view Line(std::size_t index) const {
        return Text.substr(index * Width, Width);
    }
};

/// What the display engine writes its frames and commands to.
class FrameOutput {
public:
    virtual ~FrameOutput() = default;

    /// True while an earlier write is still under way: the engine drops the frame then (the
    /// commands go out regardless, and the output may drop them).
    [[nodiscard]] virtual bool Busy() const = 0;

    /// Shows `lines`.
    virtual void Frame(const FrameLines& lines) = 0;
    /// Leaves the display blank; `blank` is the frame of blank lines of the configured size.
    virtual void Clear(const FrameLines& blank) = 0;
    /// Sets brightness step `step`, 1 ("Hell 1", dimmest) to 4 ("Hell 4", brightest).
    virtual void Brightness(int step) = 0;
    /// Initialises the display; `initCommand` is the settings' InitCommand, for the outputs that
    /// send it. May raise what reading it raises.
    virtual void Initialise(std::string_view initCommand) = 0;
    /// The start sequence's step after the initialisation.
    virtual void StartLineFeed() = 0;
    /// What the configuration dialog's "OK" sends before the display is switched.
    virtual void DialogOkText() = 0;

    /// The most bytes one write to the display's line holds for frames of `lineCount` lines of
    /// `width` characters (0 for an output that writes nothing to the line): quit bounds its
    /// waits for a write by this write's time on the wire.
    [[nodiscard]] virtual std::size_t LargestWrite(std::size_t lineCount,
                                                   std::size_t width) const = 0;
};

} // namespace lum
