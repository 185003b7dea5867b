#pragma once
// The display's line as a lumd test sees it: a pty of the test's own behind a symbolic link
// (the device lumd is given), read by a thread that stamps what arrives with the time of its
// first byte. The plug-in's frames (without BA63 mode) are LineCount x LineWidth printable
// bytes; the control bytes of the start sequence (the initialisation byte, CR, LF) stand between
// them, so the stream splits into frames and single control bytes. The pty can be unplugged
// (its master closed: the line hangs up, the link is removed) and plugged in again (a new pty
// behind the same link), and its output held (the display takes nothing, as after an XOFF).
// Every byte also goes to the virtual display's model, so that a test can read what a display
// shows whatever protocol feeds it: a screen shot after each chunk that arrives.

#include "tools/vfd/CharacterDisplay.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <termios.h>
#include <thread>
#include <vector>

namespace lum::lumd::testing {

/// One thing on the line: a frame, or a control byte between frames.
struct LineEvent {
    std::size_t Index = 0;                      ///< its place among the line's events
    std::chrono::steady_clock::time_point At{}; ///< when its first byte arrived
    std::vector<std::string> Lines{};           ///< a frame's lines; empty for a control byte
    std::uint8_t Control = 0;

    [[nodiscard]] bool IsFrame() const { return !Lines.empty(); }
};

/// What a wait looks for.
using EventTest = std::function<bool(const LineEvent&)>;

/// What the display shows after a chunk of the line's bytes, as the virtual display has it.
struct ScreenShot {
    std::size_t Index = 0;                      ///< its place among the shots
    std::chrono::steady_clock::time_point At{}; ///< when the chunk arrived
    std::vector<std::string> Lines{};           ///< the cells of each line, Windows-1252
    int Brightness = 0;                         ///< 0 brightest ... 3 dimmest
};

/// What a wait for a screen looks for.
using ScreenTest = std::function<bool(const ScreenShot&)>;

/// A display's line that the test reads.
class DisplayLine {
public:
    /// The link is `link`; frames are `lines` lines of `width` characters.
    DisplayLine(std::string link, int width, int lines);
    ~DisplayLine();
    DisplayLine(const DisplayLine&) = delete;
    DisplayLine& operator=(const DisplayLine&) = delete;

    [[nodiscard]] const std::string& Link() const { return link_; }
    /// How many events came so far: a mark for the calls below.
    [[nodiscard]] std::size_t Mark() const;
    /// The first event from `mark` on that passes `test`, waiting up to `timeout` for it.
    [[nodiscard]] std::optional<LineEvent> WaitFor(std::size_t mark, const EventTest& test,
                                                   std::chrono::milliseconds timeout);
    /// The events from `mark` on.
    [[nodiscard]] std::vector<LineEvent> EventsFrom(std::size_t mark) const;

    /// How many screen shots came so far.
    [[nodiscard]] std::size_t ScreenMark() const;
    /// The first screen shot from `mark` on that passes `test`, waiting up to `timeout` for it.
    [[nodiscard]] std::optional<ScreenShot> WaitForScreen(std::size_t mark, const ScreenTest& test,
                                                          std::chrono::milliseconds timeout);

    /// The device goes: the pty's master closes and the link goes away.
    void Unplug();
    /// A new device appears behind the link.
    void PlugIn();
    /// The display takes nothing more: the pty's output is suspended.
    void Hold() { ::tcflow(slave_, TCOOFF); }

private:
    void Read();

    std::string link_;
    std::size_t frameBytes_;
    int width_;
    int master_ = -1;
    int slave_ = -1; ///< held open, so that the line never hangs up between two of lumd's opens
    bool stop_ = false;
    std::thread reader_;
    /// The first of `items` from `mark` on that passes `test`, waiting up to `timeout` for it.
    template <typename Item, typename Test>
    std::optional<Item> WaitIn(const std::vector<Item>& items, std::size_t mark, const Test& test,
                               std::chrono::milliseconds timeout);

    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<LineEvent> events_;
    std::string partial_; ///< a frame's bytes so far
    std::chrono::steady_clock::time_point partialAt_{};
    vfd::CharacterDisplay screen_;
    std::vector<ScreenShot> shots_;
};

/// Tests of events.
[[nodiscard]] EventTest ControlIs(std::uint8_t byte);
[[nodiscard]] EventTest AnyFrame();
/// A frame whose line `line` (0-based) starts with `text`.
[[nodiscard]] EventTest LineStarts(std::size_t line, const std::string& text);
/// A frame of the welcome banner.
[[nodiscard]] EventTest BannerFrame();

} // namespace lum::lumd::testing
