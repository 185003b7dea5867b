#include "display/Placeholders.h"

#include "display/DisplayEngine.h"
#include "display/PlayTime.h"
#include "display/TextReplace.h"
#include "platform/Files.h"
#include "plugin/HostInterface.h"
#include "settings/Settings.h"

#include <iterator>
#include <string_view>

namespace lum {
namespace {

// Appends the text a variable is replaced by to `out`; false when the variable is to stay.
using ValueFunction = bool (*)(const DisplayEngineState& engine, std::string& out);

// What a variable's value comes from. Host values are asked on every expansion, whether or not
// the template holds the variable, so the host sees the same queries in the same order each
// time; the other values are computed only for a template that holds the variable.
enum class Source { Clock, Host, Tag };

struct Placeholder {
    std::string_view Name;
    Source From;
    ValueFunction Value;
};

std::string DateText(const DisplayEngineState& engine) {
    return platform::ShortDateText(engine.Clock());
}

std::string TimeText(const DisplayEngineState& engine) {
    return platform::LongTimeText(engine.Clock());
}

// Characters `First` (1-based) to `Last` of the date or time text, as far as they exist; the
// clock is read anew each time.
template <std::string (*Text)(const DisplayEngineState&), std::size_t First, std::size_t Last>
bool ClockPart(const DisplayEngineState& engine, std::string& out) {
    const std::string text = Text(engine);
    if (First <= text.size()) {
        out.append(text, First - 1, Last - First + 1);
    }
    return true;
}

// Everything of a date or time text.
constexpr std::size_t kWhole = std::string::npos - 1;

// The first state whose query answers its own value; all three are asked. With none the
// variable stays in the text.
bool PlayState(const DisplayEngineState&, std::string& out) {
    const bool stopped = QueryHost(HOST_PLAY_STATE, 0) == 0;
    const bool playing = QueryHost(HOST_PLAY_STATE, 1) == 1;
    const bool paused = QueryHost(HOST_PLAY_STATE, 3) == 3;
    out += stopped ? "STOP " : playing ? "PLAY " : "PAUSE";
    return stopped || playing || paused;
}

bool Title(const DisplayEngineState&, std::string& out) {
    AppendWithoutControls(out, QueryHostString(HOST_PLAYLIST_TITLE, QueryHost(HOST_LIST_POS, 0)));
    return true;
}

// The time left of a track of known length, the elapsed time otherwise. Computed in 64 bits so
// that no track length can overflow into a wrong text.
bool RemainingTime(const DisplayEngineState&, std::string& out) {
    const std::int64_t lengthMs = std::int64_t{QueryHost(HOST_OUTPUT_TIME, 1)} * 1000;
    const std::int64_t position = QueryHost(HOST_OUTPUT_TIME, 0);
    out += FormatPlayTime(lengthMs >= 1 ? lengthMs - position : position);
    return true;
}

bool Position(const DisplayEngineState&, std::string& out) {
    out += FormatPlayTime(QueryHost(HOST_OUTPUT_TIME, 0));
    return true;
}

// A text field of the current tag, trimmed, with control bytes as blanks.
template <std::string TID3Info::*Field>
bool TagText(const DisplayEngineState& engine, std::string& out) {
    AppendWithoutControls(out, TrimBlanksAndControls(engine.CurrentTag.*Field));
    return true;
}

bool TagGenre(const DisplayEngineState& engine, std::string& out) {
    out += GenreName(engine.CurrentTag.Genre);
    return true;
}

bool TrackNumber(const DisplayEngineState&, std::string& out) {
    out += std::to_string(std::int64_t{QueryHost(HOST_LIST_POS, 0)} + 1);
    return true;
}

// The variables in the order they are replaced. Where one name begins another, the longer one
// comes first; later steps also see the text that earlier steps inserted.
constexpr Placeholder kPlaceholders[] = {
    // Name             Source          Value
    {"%datumy", Source::Clock, &ClockPart<DateText, 1, kWhole>},
    {"%datum", Source::Clock, &ClockPart<DateText, 1, 5>},
    {"%zeits", Source::Clock, &ClockPart<TimeText, 1, kWhole>},
    {"%zeit", Source::Clock, &ClockPart<TimeText, 1, 5>},
    {"%tag", Source::Clock, &ClockPart<DateText, 1, 2>},
    {"%monat", Source::Clock, &ClockPart<DateText, 4, 5>},
    {"%jahry", Source::Clock, &ClockPart<DateText, 7, 10>},
    {"%jahr", Source::Clock, &ClockPart<DateText, 9, 10>},
    {"%status", Source::Host, &PlayState},
    {"%titel", Source::Host, &Title},
    {"%winampzeitr", Source::Host, &RemainingTime},
    {"%winampzeit", Source::Host, &Position},
    {"%id3titel", Source::Tag, &TagText<&TID3Info::Title>},
    {"%id3interpret", Source::Tag, &TagText<&TID3Info::Artist>},
    {"%id3album", Source::Tag, &TagText<&TID3Info::Album>},
    {"%id3year", Source::Tag, &TagText<&TID3Info::Year>},
    {"%id3comment", Source::Tag, &TagText<&TID3Info::Comment>},
    {"%id3genre", Source::Tag, &TagGenre},
    {"%winamptrack", Source::Host, &TrackNumber},
};
static_assert(std::size(kPlaceholders) == 19);

// Re-reads the tag when the playing file is an existing file other than the one read last. The
// name is remembered before the read, so a file that cannot be opened is not tried again.
void RefreshTag(DisplayEngineState& engine) {
    const std::string fileName = QueryHostString(HOST_PLAYLIST_FILE, QueryHost(HOST_LIST_POS, 0));
    if (fileName == engine.LastTagFileName || !platform::IsExistingFile(fileName)) {
        return;
    }
    engine.LastTagFileName = fileName;
    ReadId3Tag(QueryHostString(HOST_PLAYLIST_FILE, QueryHost(HOST_LIST_POS, 0)), engine.CurrentTag);
}

} // namespace

std::string ExpandPlaceholders(const std::string& lineTemplate) {
    DisplayEngineState& engine = DisplayEngine();
    RefreshTag(engine);

    std::string text = lineTemplate;
    std::string value;
    for (const Placeholder& placeholder : kPlaceholders) {
        if (placeholder.From != Source::Host &&
            FindIgnoreCase(text, placeholder.Name) == std::string::npos) {
            continue;
        }
        value.clear();
        if (placeholder.Value(engine, value)) {
            ReplaceAll(text, placeholder.Name, value, true);
        }
    }
    if (GlobalSettings().ReplaceUmlauts) {
        ReplaceUmlauts(text);
    }
    return text;
}

} // namespace lum
