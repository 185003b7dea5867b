#include "display/Placeholders.h"

#include "display/PlayTime.h"
#include "display/TextReplace.h"
#include "platform/Files.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace lum {
namespace {

// What a variable's value is made from: the player, the clock and the current tag; and what
// the state's value learnt: whether the player plays.
struct Inputs {
    NowPlaying& Player;
    const LocalClock& Clock;
    const TID3Info& Tag;
    bool& Playing;
};

// Appends the text a variable is replaced by to `out`; false when the variable is to stay.
using ValueFunction = bool (*)(const Inputs& in, std::string& out);

// What a variable's value comes from. The player is asked on every expansion, whether or not
// the template holds the variable, so the player sees the same questions in the same order each
// time; the other values are computed only for a template that holds the variable.
enum class Source { Clock, Player, Tag };

// How a variable's value changes with time alone. Position runs while the player plays.
enum class Runs { Never, Minutes, Seconds, Position };

struct Placeholder {
    std::string_view Name;
    Source From;
    ValueFunction Value;
    Runs Motion;
};

std::string DateText(const Inputs& in) {
    return platform::ShortDateText(in.Clock());
}

std::string TimeText(const Inputs& in) {
    return platform::LongTimeText(in.Clock());
}

// Characters `First` (1-based) to `Last` of the date or time text, as far as they exist; the
// clock is read anew each time.
template <std::string (*Text)(const Inputs&), std::size_t First, std::size_t Last>
bool ClockPart(const Inputs& in, std::string& out) {
    const std::string text = Text(in);
    if (First <= text.size()) {
        out.append(text, First - 1, Last - First + 1);
    }
    return true;
}

// Everything of a date or time text.
constexpr std::size_t kWhole = std::string::npos - 1;

// The first state whose query answers its own value; all three are asked. With none the
// variable stays in the text.
bool StateText(const Inputs& in, std::string& out) {
    const auto is = [&in](PlayState state) {
        return in.Player.PlayStateNumber(state) == static_cast<std::int32_t>(state);
    };
    const bool stopped = is(PlayState::Stopped);
    const bool playing = is(PlayState::Playing);
    const bool paused = is(PlayState::Paused);
    out += stopped ? "STOP " : playing ? "PLAY " : "PAUSE";
    in.Playing = playing && !stopped;
    return stopped || playing || paused;
}

bool Title(const Inputs& in, std::string& out) {
    AppendWithoutControls(out, in.Player.EntryTitle(in.Player.ListPosition()));
    return true;
}

// The time left of a track of known length, the elapsed time otherwise. Computed in 64 bits so
// that no track length can overflow into a wrong text.
bool RemainingTime(const Inputs& in, std::string& out) {
    const std::int64_t lengthMs = std::int64_t{in.Player.LengthSeconds()} * 1000;
    const std::int64_t position = in.Player.PositionMs();
    out += FormatPlayTime(lengthMs >= 1 ? lengthMs - position : position);
    return true;
}

bool Position(const Inputs& in, std::string& out) {
    out += FormatPlayTime(in.Player.PositionMs());
    return true;
}

// A text field of the current tag, trimmed, with control bytes as blanks.
template <std::string TID3Info::*Field> bool TagText(const Inputs& in, std::string& out) {
    AppendWithoutControls(out, TrimBlanksAndControls(in.Tag.*Field));
    return true;
}

bool TagGenre(const Inputs& in, std::string& out) {
    out += GenreName(in.Tag.Genre);
    return true;
}

bool TrackNumber(const Inputs& in, std::string& out) {
    out += std::to_string(std::int64_t{in.Player.ListPosition()} + 1);
    return true;
}

// The variables in the order they are replaced. Where one name begins another, the longer one
// comes first; later steps also see the text that earlier steps inserted.
// clang-format off
constexpr Placeholder kPlaceholders[] = {
    // Name            Source          Value                                Motion
    {"%datumy",       Source::Clock,  &ClockPart<DateText, 1, kWhole>,    Runs::Minutes},
    {"%datum",        Source::Clock,  &ClockPart<DateText, 1, 5>,         Runs::Minutes},
    {"%zeits",        Source::Clock,  &ClockPart<TimeText, 1, kWhole>,    Runs::Seconds},
    {"%zeit",         Source::Clock,  &ClockPart<TimeText, 1, 5>,         Runs::Minutes},
    {"%tag",          Source::Clock,  &ClockPart<DateText, 1, 2>,         Runs::Minutes},
    {"%monat",        Source::Clock,  &ClockPart<DateText, 4, 5>,         Runs::Minutes},
    {"%jahry",        Source::Clock,  &ClockPart<DateText, 7, 10>,        Runs::Minutes},
    {"%jahr",         Source::Clock,  &ClockPart<DateText, 9, 10>,        Runs::Minutes},
    {"%status",       Source::Player, &StateText,                         Runs::Never},
    {"%titel",        Source::Player, &Title,                             Runs::Never},
    {"%winampzeitr",  Source::Player, &RemainingTime,                     Runs::Position},
    {"%winampzeit",   Source::Player, &Position,                          Runs::Position},
    {"%id3titel",     Source::Tag,    &TagText<&TID3Info::Title>,         Runs::Never},
    {"%id3interpret", Source::Tag,    &TagText<&TID3Info::Artist>,        Runs::Never},
    {"%id3album",     Source::Tag,    &TagText<&TID3Info::Album>,         Runs::Never},
    {"%id3year",      Source::Tag,    &TagText<&TID3Info::Year>,          Runs::Never},
    {"%id3comment",   Source::Tag,    &TagText<&TID3Info::Comment>,       Runs::Never},
    {"%id3genre",     Source::Tag,    &TagGenre,                          Runs::Never},
    {"%winamptrack",  Source::Player, &TrackNumber,                       Runs::Never},
};
// clang-format on
static_assert(std::size(kPlaceholders) == 19);

// How a variable shown with the player `playing` changes with time alone.
FrameMotion MotionOf(Runs runs, bool playing) {
    switch (runs) {
    case Runs::Minutes:
        return FrameMotion::Minutes;
    case Runs::Seconds:
        return FrameMotion::Ticks;
    case Runs::Position:
        return playing ? FrameMotion::Ticks : FrameMotion::Still;
    case Runs::Never:
        break;
    }
    return FrameMotion::Still;
}

} // namespace

PlaceholderExpander::PlaceholderExpander(const Settings& settings, NowPlaying& player,
                                         LocalClock clock)
    : settings_(settings), player_(player), clock_(std::move(clock)) {}

// The name is remembered before the read, so a file that cannot be opened is not tried again.
// An entry without a file that has a tag keeps the values of the last tag, unless the player
// knows the entry's tag itself; after an entry that is no file the next local file is read afresh.
void PlaceholderExpander::RefreshTag() {
    const std::string fileName = player_.EntryFileName(player_.ListPosition());
    if (fileName != tag_.LastTagFileName) {
        tag_.FileHasTag = false;
        if (platform::IsExistingFile(fileName)) {
            tag_.LastTagFileName = fileName;
            tag_.FileHasTag =
                ReadId3Tag(player_.EntryFileName(player_.ListPosition()), tag_.CurrentTag);
        }
    }
    if (const TID3Info* own = player_.PlayerTag(); own != nullptr && !tag_.FileHasTag) {
        tag_.CurrentTag = *own;
        if (fileName != tag_.LastTagFileName) {
            tag_.LastTagFileName.clear();
        }
    }
}

std::string PlaceholderExpander::Expand(const std::string& lineTemplate) {
    RefreshTag();

    bool playing = false;
    const Inputs in{player_, clock_, tag_.CurrentTag, playing};
    std::string text = lineTemplate;
    std::string value;
    for (const Placeholder& placeholder : kPlaceholders) {
        if (placeholder.From != Source::Player &&
            FindIgnoreCase(text, placeholder.Name) == std::string::npos) {
            continue;
        }
        value.clear();
        if (placeholder.Value(in, value) && ReplaceAll(text, placeholder.Name, value, true)) {
            motion_ = std::max(motion_, MotionOf(placeholder.Motion, playing));
        }
    }
    if (settings_.ReplaceUmlauts) {
        ReplaceUmlauts(text);
    }
    return text;
}

} // namespace lum
