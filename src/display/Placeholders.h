#pragma once
// Placeholder expansion: a line template's %-variables replaced by the date and time, the
// player's state, title, times and playlist position, and the playing file's ID3v1 tag.

#include "display/ExtractID3.h"
#include "display/NowPlaying.h"
#include "platform/Clock.h"
#include "settings/Settings.h"

#include <functional>
#include <string>
#include <utility>

namespace lum {

/// Where the expansion reads the local date and time from.
using LocalClock = std::function<platform::LocalDateTime()>;

/// How a text changes with time alone, while the player and the settings stay as they are; the
/// later the more often.
enum class FrameMotion {
    Still,   ///< it does not
    Minutes, ///< it shows the time to the minute or the date: it changes at a full minute
    Ticks,   ///< it scrolls, or shows the seconds or a running position: at every refresh tick
};

/// The tag the ID3 variables show, and the file it was read from.
struct TagCache {
    std::string LastTagFileName; ///< the file whose tag was last read
    TID3Info CurrentTag;         ///< the tag values the ID3 variables show
    bool FileHasTag = false;     ///< whether LastTagFileName had a tag
};

/// Expands line templates with the player's answers, the clock and the playing file's tag.
class PlaceholderExpander {
public:
    /// `settings` is read at every expansion (ReplaceUmlauts); all three must outlive this.
    PlaceholderExpander(const Settings& settings, NowPlaying& player, LocalClock clock);

    /// The text a display line shows for `lineTemplate`. First re-reads the tag when the playing
    /// file has changed (raising "unable to open file to read ID3 tag" when it cannot be
    /// opened), then replaces the 19 variables in their fixed order and, when ReplaceUmlauts is
    /// set, the umlauts. Texts from outside (title, tag fields) arrive with control bytes as
    /// blanks.
    [[nodiscard]] std::string Expand(const std::string& lineTemplate);

    /// The tag cache, kept from one expansion to the next.
    [[nodiscard]] TagCache& Tag() { return tag_; }

    /// How the texts expanded since the last call change with time alone (the position runs
    /// only while playing); afresh from here on.
    [[nodiscard]] FrameMotion TakeMotion() { return std::exchange(motion_, FrameMotion::Still); }
    /// The local time now.
    [[nodiscard]] platform::LocalDateTime Now() const { return clock_(); }

private:
    /// Re-reads the tag when the playing file is an existing file other than the one read last;
    /// takes the player's own tag where the entry has no file with a tag.
    void RefreshTag();

    const Settings& settings_;
    NowPlaying& player_;
    LocalClock clock_;
    TagCache tag_;
    FrameMotion motion_ = FrameMotion::Still;
};

} // namespace lum
