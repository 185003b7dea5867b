#pragma once
// The display text engine: the scroll offsets of the active text set, the display frames and
// the short commands, with the placeholder expansion they are made from. It builds each frame as
// lines of text and hands them, and the commands, to its frame output (FrameOutput.h), which
// turns them into a protocol's bytes on the display's port or gives them to a display server.
// It is built from what it reads and writes: the settings (edited in place elsewhere and read at
// every use, never written), the player it asks, the output and the local clock. What it shows
// (the active set and the scroll offsets), the tag cache and the banner period are its own
// state.
//
// lumd adds rules of its own, which the plug-in never sets: the display's character set (the
// expanded lines and the separator folded for it), a banner of its own, a screen shown in place
// of the active set (the resting screen), a blank display, frames sent only when they changed,
// and how the frame changes with time, so that lumd wakes for the refresh only while it does.

#include "common/DisplayCharset.h"
#include "display/DisplayPort.h"
#include "display/FrameOutput.h"
#include "display/NowPlaying.h"
#include "display/Placeholders.h"
#include "display/ShowState.h"
#include "settings/Settings.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lum {

/// Line 1 of the welcome banner shown during the banner period.
inline constexpr std::string_view kBannerLine1 = " Winamp  Lum Plugin";
/// Line 2 of the welcome banner: the maker's credit.
inline constexpr std::string_view kBannerLine2 = " Code: the Lum team";
static_assert(kBannerLine1.size() == 19 && kBannerLine2.size() == 19 && kBannerLine2[0] == ' ');

/// Lines a frame shows in place of the active set's.
struct Overlay {
    /// Line 1 onwards; the lines after them are blank.
    std::vector<std::string> Lines{};
    /// The lines are templates, expanded as the set's lines are and cut to the line width
    /// (lumd's banner and resting screen); otherwise they show as they are, cut as the active
    /// set's lines scroll (the plug-in's banner).
    bool Templates = false;

    friend bool operator==(const Overlay&, const Overlay&) = default;
};

/// The plug-in's welcome banner.
[[nodiscard]] Overlay PluginBanner();

/// One line of the dialog's preview: how many characters of it show, and what shows.
struct PreviewLine {
    std::size_t Count = 0;
    std::string Window;
};

/// The display text engine.
class DisplayEngine {
public:
    /// An engine writing to `output`. All four must outlive the engine. It shows set 1 with the
    /// start offsets.
    DisplayEngine(const Settings& settings, NowPlaying& player, FrameOutput& output,
                  LocalClock clock = &platform::CurrentLocalTime);
    /// An engine writing the plug-in's frame kinds, as the settings choose them, to `port`.
    DisplayEngine(const Settings& settings, NowPlaying& player, DisplayPort& port,
                  LocalClock clock = &platform::CurrentLocalTime);

    /// The text a display line shows for `lineTemplate` (see PlaceholderExpander::Expand),
    /// folded for the display's character set when one is set.
    [[nodiscard]] std::string ExpandPlaceholders(const std::string& lineTemplate);

    /// One refresh tick: UpdateScrollOffsets, then WriteDisplayFrame. With
    /// SendChangedFramesOnly (lumd), each shown line is expanded once a tick, for its scroll
    /// step and its frame, and only the shown lines step.
    void RefreshTick();

    /// Advances the scroll offset of each of the eight lines of the active set by one step of
    /// its scroll mode (lines beyond LineCount too). A line that fits LineWidth gets offset 0; a
    /// longer one indexes its scroll text (the expanded line followed by Separator) and wraps at
    /// its length. An ActiveSet outside 1-4 changes nothing. An expansion failure ends the
    /// update; the lines not yet handled keep their offsets.
    void UpdateScrollOffsets();

    /// Builds the frame of lines 1 to LineCount of the active set, each cut or padded to
    /// LineWidth (blank lines when ActiveSet names no set; the banner during the banner period,
    /// else the screen set with ShowInstead) and hands it to the output, unless the output is
    /// busy or, with SendChangedFramesOnly, the display shows it already. While the display is
    /// blank (SetBlank), the clear goes out instead, once. An expansion failure passes to the
    /// caller; nothing is sent then.
    void WriteDisplayFrame();

    /// Leaves the display blank through the output (given the frame of LineCount blank lines),
    /// whether or not it is busy.
    void ClearDisplay();

    /// Line `line` (1-8) of the active set as the dialog's preview shows it: expanded and cut
    /// at its scroll offset to LineWidth characters, without advancing anything. An empty line
    /// when ActiveSet names no set.
    [[nodiscard]] PreviewLine Preview(int line);

    /// Sends the display's initialisation (the plug-in's kinds: the byte of InitCommand, none
    /// when it is empty; they raise "'%s' ist kein gültiger Integerwert" when it is no decimal
    /// integer).
    void SendInitCommand();
    /// Sends the start sequence's step after the initialisation (the plug-in's kinds: CR, LF).
    void SendStartLineFeed();
    /// Sends what the configuration dialog's "OK" sends before it switches the display (the
    /// plug-in's kinds: the BA63 clear text in BA63 mode, CR, LF otherwise).
    void SendDialogOkText();
    /// Sends brightness step `step`, 1 ("Hell 1", dimmest) to 4 ("Hell 4", brightest).
    void SendBrightness(int step);

    /// Starts or ends the banner period: while it runs, frames show the banner. With changed
    /// frames only (lumd's rules), the set's lines start from their first characters after it.
    void SetBannerPeriod(bool running);
    [[nodiscard]] bool BannerPeriod() const { return bannerPeriod_; }
    /// The banner of the banner period; the plug-in's (PluginBanner) unless set.
    void SetBanner(Overlay banner) { banner_ = std::move(banner); }

    /// Shows `screen` in place of the active set while no banner period runs; none shows the
    /// set again.
    void ShowInstead(std::optional<Overlay> screen) { screen_ = std::move(screen); }
    /// Leaves the display blank (the frames send the clear, once) or shows frames again.
    void SetBlank(bool blank) { blank_ = blank; }
    /// Folds the frames' text for `charset` (the display text stays Windows-1252; the protocol
    /// turns it into the set's bytes); null folds nothing.
    void SetCharset(const DisplayCharset* charset) { charset_ = charset; }
    /// With `only`, a frame goes out only when it differs from what the display shows: the last
    /// frame sent, unless a command other than the brightness has been sent since.
    void SendChangedFramesOnly(bool only) { changedOnly_ = only; }

    /// How the frame last built changes with time alone (a clock shown, a line scrolling, a
    /// running position), while the player and the settings stay.
    [[nodiscard]] FrameMotion Motion() const { return motion_; }
    /// Milliseconds from now to the next full minute of the local clock.
    [[nodiscard]] std::uint32_t MsToNextMinute() const;
    /// The frame last built was not sent because the output was busy.
    [[nodiscard]] bool FrameWaiting() const { return frameWaiting_; }
    /// Every line starts scrolling from its first character: the next scroll update moves
    /// nothing, so the next frame shows each line from its start.
    void ScrollFromStart();

    /// The tag cache of the expansion.
    [[nodiscard]] TagCache& Tag() { return expander_.Tag(); }

    /// What the engine shows: the active set and the scroll offsets, which the refresh tick
    /// moves and the set rotation and the set buttons change.
    [[nodiscard]] ShowState& Shown() { return shown_; }
    [[nodiscard]] const ShowState& Shown() const { return shown_; }

private:
    /// The slot of line `line` of the active set, or null when ActiveSet names no set.
    [[nodiscard]] const LineSlot* ActiveSlot(int line) const;
    /// The scroll offset of line `line` of the active set; 0 when ActiveSet names no set.
    [[nodiscard]] std::int32_t ActiveOffset(int line) const;
    /// LineWidth, never below 0.
    [[nodiscard]] std::size_t Width() const;

    /// An engine owning `output`.
    DisplayEngine(const Settings& settings, NowPlaying& player, std::unique_ptr<FrameOutput> output,
                  LocalClock clock);

    /// What the display shows as far as the engine sent it.
    enum class Sent { Unknown, Frame, Blank };

    /// Moves the scroll offset of line `line` of the active set (1-4) one step, the line's
    /// expanded text being `expandedLength` long (see UpdateScrollOffsets).
    void StepScrollOffset(int line, std::size_t expandedLength, std::size_t separatorLength,
                          std::size_t width);
    /// Builds and sends the frame as WriteDisplayFrame says; with `stepScroll`, each line of the
    /// active set first moves its scroll offset one step, from the same expansion.
    void BuildFrame(bool stepScroll);
    /// The separator as the frames show it: folded for the character set.
    [[nodiscard]] std::string Separator() const;
    /// Hands the frame built in frameText_ to the output, as WriteDisplayFrame says.
    void SendFrame(std::size_t width, std::size_t lineCount);
    /// Sends the clear of a blank display, as WriteDisplayFrame says.
    void SendBlank();
    /// Something other than a frame, the clear or the brightness went out.
    void Forget() { sent_ = Sent::Unknown; }

    const Settings& settings_;
    std::unique_ptr<FrameOutput> ownOutput_; ///< the output, when the engine made it
    FrameOutput& output_;
    std::string frameText_; ///< the lines of the frame being built, reused from frame to frame
    ShowState shown_;
    PlaceholderExpander expander_;
    bool bannerPeriod_ = false;
    Overlay banner_ = PluginBanner();
    std::optional<Overlay> screen_;
    bool blank_ = false;
    const DisplayCharset* charset_ = nullptr;
    bool changedOnly_ = false;
    Sent sent_ = Sent::Unknown;
    std::string sentText_; ///< the frame last sent
    bool frameWaiting_ = false;
    bool holdScroll_ = false;
    FrameMotion motion_ = FrameMotion::Still;
};

} // namespace lum
