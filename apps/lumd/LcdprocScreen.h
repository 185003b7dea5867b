#pragma once
// lumd's screen on LCDproc's server LCDd, as lines of LCDd's client protocol. After "hello" LCDd
// answers with its display's size; then lumd names itself and adds one screen with one string
// widget a line, and sets a widget only when its line changed:
//
//   lumd                                                LCDd
//   hello                                               connect LCDproc 0.5.9 protocol 0.3
//                                                           lcd wid 20 hgt 2 cellwid 5 cellhgt 8
//   client_set -name lumd                               success
//   screen_add lumd                                     success
//   screen_set lumd -name lumd -heartbeat off -priority foreground -backlight on
//   widget_add lumd l1 string                           success          (l1 ... lN, N = hgt)
//   widget_set lumd l1 1 1 "the line's text"            success
//                                                       huh? <the reason>   (a refused command)
//                                                       listen lumd, ignore lumd, key ...,
//                                                       menuevent ...       (nothing to answer)
//
// LCDd splits a command at blanks; "..." and {...} quote, and a backslash takes the next byte as
// it is. A line's text is sent in "..." with a backslash before each of " { } \ so that no
// title can end the quote or start another.
//
// The priority says when LCDd shows the screen: foreground above every other client's ordinary
// screens (while playing), and, when the player is stopped or paused, background (shown only when
// no other screen is there, LCDd's own server screen included), info (in turn with the other info
// screens) or hidden (never).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lum::lumd {

/// When LCDd shows lumd's screen.
enum class ScreenPriority { Foreground, Info, Background, Hidden };

/// The priority's word in LCDd's protocol.
[[nodiscard]] std::string_view PriorityName(ScreenPriority priority);
/// The priority named `name` among those a stopped player may have (background, info,
/// hidden); none for another word.
[[nodiscard]] std::optional<ScreenPriority> IdlePriorityNamed(std::string_view name);

/// The display's size in characters, as LCDd's connect answer gives it.
struct LcdSize {
    std::size_t Width = 0;
    std::size_t Height = 0;

    friend bool operator==(const LcdSize&, const LcdSize&) = default;
};

/// The size of LCDd's answer to "hello" ("connect ... wid W hgt H ..."); none for another line
/// or a size that is no whole number from 1 to 255.
[[nodiscard]] std::optional<LcdSize> ParseConnectAnswer(std::string_view line);

/// `text` as one argument of a command: in quotes, with " { } \ escaped.
[[nodiscard]] std::string QuotedArgument(std::string_view text);

/// What lumd's screen should show, and the commands that bring LCDd there.
class LcdprocScreen {
public:
    /// Sets what the screen shows: line 1 onwards (their text as LCDd's display takes it).
    void SetLines(std::vector<std::string> lines) { lines_ = std::move(lines); }
    /// Sets the screen's priority.
    void SetPriority(ScreenPriority priority) { priority_ = priority; }
    /// Sets the display's backlight on or off.
    void SetBacklight(bool on) { backlight_ = on; }

    /// A new connection whose display is `size`: the commands that make the screen and its
    /// widgets (one a line, at most 8). What LCDd shows is unknown until Updates.
    [[nodiscard]] std::string Connected(LcdSize size);
    /// The commands for what changed since the last Connected or Updates: the priority and the
    /// backlight, then a widget_set for each line that changed (all after Connected).
    [[nodiscard]] std::string Updates();

private:
    std::vector<std::string> lines_;
    ScreenPriority priority_ = ScreenPriority::Background;
    bool backlight_ = true;

    std::size_t widgets_ = 0; ///< the widgets of the connection; 0 before Connected
    std::vector<std::optional<std::string>> sentLines_; ///< each widget's text; none: unknown
    std::optional<ScreenPriority> sentPriority_;
    std::optional<bool> sentBacklight_;
};

} // namespace lum::lumd
