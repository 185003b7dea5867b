#pragma once
// A display protocol: the bytes one kind of display takes for the engine's frames and commands
// (FrameOutput.h). L1 ... Ln are the frame's lines, y a line's number (1-8) and N the brightness
// step (1 dimmest ... 4 brightest), each as one byte:
//
//   plain   frame L1 ... Ln (the display wraps them); clear: the blank frame; brightness 5-N;
//           initialisation: InitCommand's byte; start line feed and dialog "OK": CR LF
//   cr      as plain, each frame and the clear followed by CR
//   ba63    frame ESC "[1;1H" L1 LF CR L2; clear and dialog "OK": ESC "[1;1H", 20 blanks, LF CR,
//           20 blanks; the rest as plain
//   escpos  frame (US $ 1 y Ly) for each line; clear CLR; brightness US X N; initialisation
//           ESC @, US MD1 (overwrite), US C 0 (cursor off), ESC t n, ESC R n; nothing else
//   cd5220  frame (ESC l 1 y Ly) for each line; clear CLR; brightness ESC * N; initialisation
//           ESC @, ESC DC1 (overwrite), ESC _ 0 (cursor off), ESC f n if a set is given; no more
//
// The customer displays clear with CLR rather than a blank frame: it blanks every cell and homes
// the cursor whatever the display's size, where a frame blanks only the configured lines. They
// take their own initialisation instead of InitCommand's byte, and need no line feed.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lum {

struct FrameLines;
struct Settings;

/// The bytes of one kind of display.
class DisplayProtocol {
public:
    virtual ~DisplayProtocol() = default;

    /// A frame showing `lines`.
    [[nodiscard]] virtual std::string Frame(const FrameLines& lines) const = 0;
    /// What leaves the display blank; `blank` is the frame of blank lines.
    [[nodiscard]] virtual std::string Clear(const FrameLines& blank) const = 0;
    /// Brightness step `step`, 1 ("Hell 1", dimmest) to 4 ("Hell 4", brightest).
    [[nodiscard]] virtual std::string Brightness(int step) const = 0;
    /// The initialisation; `initCommand` is the settings' InitCommand. The plug-in's kinds raise
    /// "'%s' ist kein gültiger Integerwert" for a text that is no number.
    [[nodiscard]] virtual std::string Initialise(std::string_view initCommand) const = 0;
    /// The start sequence's step after the initialisation.
    [[nodiscard]] virtual std::string StartLineFeed() const = 0;
    /// What the configuration dialog's "OK" sends before the display is switched.
    [[nodiscard]] virtual std::string DialogOkText() const = 0;
    /// The most bytes any of the above holds for frames of `lineCount` x `width`.
    [[nodiscard]] virtual std::size_t LargestWrite(std::size_t lineCount,
                                                   std::size_t width) const = 0;
};

/// The parameters of a customer display's initialisation; a protocol without the command has
/// none (ProtocolRow says which take them).
struct ProtocolOptions {
    /// ESC/POS `ESC t n`, the character table; 0 (PC437) when not given.
    std::optional<std::uint8_t> CharacterTable{};
    /// ESC/POS `ESC R n` (0, USA, when not given) and CD5220 `ESC f n` (not sent when not given:
    /// the display keeps the set its switches choose).
    std::optional<std::uint8_t> InternationalSet{};
};

/// The plug-in's plain frame kind.
[[nodiscard]] std::unique_ptr<DisplayProtocol> MakePlainProtocol(const ProtocolOptions& options);
/// The plug-in's plain frame kind with CR.
[[nodiscard]] std::unique_ptr<DisplayProtocol> MakeCrProtocol(const ProtocolOptions& options);
/// The plug-in's BA63 frame kind.
[[nodiscard]] std::unique_ptr<DisplayProtocol> MakeBa63Protocol(const ProtocolOptions& options);
/// ESC/POS customer displays.
[[nodiscard]] std::unique_ptr<DisplayProtocol> MakeEscPosProtocol(const ProtocolOptions& options);
/// CD5220 customer displays.
[[nodiscard]] std::unique_ptr<DisplayProtocol> MakeCd5220Protocol(const ProtocolOptions& options);

/// The plug-in's choice among its three kinds, by `settings` read afresh at every call (the
/// dialog changes them live): BA63 with Ba63Mode, else cr with SendCarriageReturn, else plain.
/// `settings` must outlive the protocol.
[[nodiscard]] std::unique_ptr<DisplayProtocol> MakeSettingsProtocol(const Settings& settings);

} // namespace lum
