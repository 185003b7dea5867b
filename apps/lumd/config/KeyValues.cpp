#include "apps/lumd/config/KeyValues.h"

#include "apps/lumd/config/ConfigText.h"
#include "apps/lumd/config/NearestName.h"
#include "common/Decimal.h"
#include "common/Utf8.h"
#include "display/ProtocolTable.h"
#include "settings/SettingsFields.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <sstream>
#include <vector>

namespace lum::lumd {
namespace {

/// The scroll modes of a line as the file writes them, at the index of their ScrollModeIndex.
constexpr std::string_view kScrollWords[] = {"off", "left", "right"};
static_assert(std::size(kScrollWords) == kScrollRight + 1);

constexpr std::size_t kMaxCut = 40;

/// `key`'s field in `settings`.
SettingsField FieldOf(const ConfigKey& key, Settings& settings) {
    for (SettingsField& field : StoredFields(settings)) {
        if (field.Name == key.Field) {
            return field;
        }
    }
    throw std::logic_error("no settings field " + std::string(key.Field));
}

template <typename T> T& FieldValue(const ConfigKey& key, Settings& settings) {
    return *std::get<T*>(FieldOf(key, settings).Value);
}

template <typename T> T FieldValue(const ConfigKey& key, const Settings& settings) {
    Settings copy = settings;
    return FieldValue<T>(key, copy);
}

std::string QuotedList(std::span<const std::string_view> words, std::string_view between = ", ") {
    std::string list;
    for (const std::string_view word : words) {
        list += (list.empty() ? "" : std::string(between)) + QuotedText(word);
    }
    return list;
}

std::vector<std::string_view> ProtocolWords() {
    std::vector<std::string_view> words;
    for (const ProtocolRow& row : kDisplayProtocols) {
        words.push_back(row.Name);
    }
    return words;
}

std::string BaudList() {
    std::string list;
    for (const std::int32_t rate : kBaudRates) {
        list += (list.empty() ? "" : ", ") + std::to_string(rate);
    }
    return list;
}

[[noreturn]] void Refuse(const ConfigKey& key, const toml::node& node) {
    throw ValueProblem{ValueForMessage(node) + " is not " + AllowedValues(key)};
}

std::string TextOf(const ConfigKey& key, const toml::node& node) {
    if (!node.is_string()) {
        Refuse(key, node);
    }
    return node.as_string()->get();
}

bool BooleanOf(const ConfigKey& key, const toml::node& node) {
    if (!node.is_boolean()) {
        Refuse(key, node);
    }
    return node.as_boolean()->get();
}

/// The word of `words` that `node` names, as its index.
std::size_t WordOf(const ConfigKey& key, const toml::node& node,
                   std::span<const std::string_view> words) {
    const std::string text = TextOf(key, node);
    const auto word = std::ranges::find(words, text);
    if (word == words.end()) {
        Refuse(key, node);
    }
    return static_cast<std::size_t>(word - words.begin());
}

/// A whole number from `min` to `max`.
std::int32_t NumberOf(const ConfigKey& key, const toml::node& node, std::int64_t min,
                      std::int64_t max) {
    if (!node.is_integer() || node.as_integer()->get() < min || node.as_integer()->get() > max) {
        Refuse(key, node);
    }
    return static_cast<std::int32_t>(node.as_integer()->get());
}

/// One line of a set: a text, or a table with a text and a scroll mode.
LineSlot LineOf(const toml::node& node, std::size_t number) {
    const std::string at = "[" + std::to_string(number) + "]";
    if (const auto* text = node.as_string()) {
        return {DisplayTextFromFile(text->get()), kScrollNone};
    }
    const auto* table = node.as_table();
    if (table == nullptr) {
        throw ValueProblem{ValueForMessage(node) + " is not a text or a table with text and scroll",
                           at, node.source().begin};
    }
    LineSlot line;
    for (const auto& [name, value] : *table) {
        if (name == "text") {
            if (!value.is_string()) {
                throw ValueProblem{ValueForMessage(value) + " is not a text in double quotes",
                                   at + ".text", value.source().begin};
            }
            line.Template = DisplayTextFromFile(value.as_string()->get());
        } else if (name == "scroll") {
            const auto word = value.is_string()
                                  ? std::ranges::find(kScrollWords, value.as_string()->get())
                                  : std::end(kScrollWords);
            if (word == std::end(kScrollWords)) {
                throw ValueProblem{ValueForMessage(value) + " is not one of " +
                                       QuotedList(kScrollWords),
                                   at + ".scroll", value.source().begin};
            }
            line.ScrollMode = static_cast<std::int32_t>(word - std::begin(kScrollWords));
        } else {
            const std::string known[] = {"text", "scroll"};
            const auto nearest = NearestName(name.str(), known);
            throw ValueProblem{nearest ? " (did you mean " + *nearest + "?)"
                                       : "; a line takes text and scroll",
                               at + "." + std::string(name.str()), name.source().begin, true};
        }
    }
    return line;
}

void StoreLines(const ConfigKey& key, const toml::node& node, TextSet& set) {
    const auto* lines = node.as_array();
    if (lines == nullptr) {
        Refuse(key, node);
    }
    for (std::size_t i = 0; i < lines->size(); ++i) {
        if (i == set.Lines.size()) {
            throw ValueProblem{"a set has at most " + std::to_string(set.Lines.size()) + " lines",
                               "[" + std::to_string(i + 1) + "]", lines->get(i)->source().begin};
        }
        set.Lines[i] = LineOf(*lines->get(i), i + 1);
    }
}

bool IsEmpty(const LineSlot& line) {
    return line == LineSlot{};
}

std::string LinesText(const TextSet& set) {
    const auto last = std::find_if(set.Lines.rbegin(), set.Lines.rend(),
                                   [](const LineSlot& line) { return !IsEmpty(line); });
    const auto count = static_cast<std::size_t>(set.Lines.rend() - last);
    if (count == 0) {
        return "[]";
    }
    std::string text = "[\n";
    for (std::size_t i = 0; i < count; ++i) {
        const LineSlot& line = set.Lines[i];
        const std::string quoted = QuotedDisplayText(line.Template);
        text +=
            "  " +
            (line.ScrollMode == kScrollNone
                 ? quoted
                 : "{ text = " + quoted + ", scroll = " +
                       QuotedText(kScrollWords[static_cast<std::size_t>(line.ScrollMode)]) + " }") +
            ",\n";
    }
    return text + "]";
}

/// The texts of at most 8 lines as display text.
std::vector<std::string> TextLinesOf(const ConfigKey& key, const toml::node& node) {
    const auto* array = node.as_array();
    if (array == nullptr) {
        Refuse(key, node);
    }
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < array->size(); ++i) {
        const toml::node& line = *array->get(i);
        const std::string at = "[" + std::to_string(i + 1) + "]";
        if (i == static_cast<std::size_t>(kLinesPerSet)) {
            throw ValueProblem{"a display has at most " + std::to_string(kLinesPerSet) + " lines",
                               at, line.source().begin};
        }
        if (!line.is_string()) {
            throw ValueProblem{ValueForMessage(line) + " is not a text in double quotes", at,
                               line.source().begin};
        }
        lines.push_back(DisplayTextFromFile(line.as_string()->get()));
    }
    return lines;
}

std::string TextLinesText(const std::vector<std::string>& lines) {
    std::string text = "[";
    for (const std::string& line : lines) {
        text += (text.size() > 1 ? ", " : "") + QuotedDisplayText(line);
    }
    return text + "]";
}

std::string MinutesText(std::uint32_t ms) {
    if (ms % 60'000 == 0) {
        return std::to_string(ms / 60'000);
    }
    char text[32];
    const auto end = std::to_chars(std::begin(text), std::end(text), ms / 60'000.0).ptr;
    return {text, end};
}

} // namespace

std::string AllowedValues(const ConfigKey& key) {
    switch (key.Kind) {
    case KeyKind::Integer: {
        Settings settings;
        const SettingsField field = FieldOf(key, settings);
        return "a whole number from " + std::to_string(field.Min) + " to " +
               std::to_string(field.Max);
    }
    case KeyKind::Boolean:
    case KeyKind::SwitchedOn:
    case KeyKind::CrWithBa63:
        return "true or false";
    case KeyKind::DisplayText:
    case KeyKind::OwnText:
        return "a text in double quotes";
    case KeyKind::Word:
        return "one of " + QuotedList(key.Words);
    case KeyKind::Baud:
        return "one of " + BaudList();
    case KeyKind::InitByte:
        return "a whole number from 0 to 255, or \"\" for none";
    case KeyKind::Protocol:
        return "one of " + QuotedList(ProtocolWords());
    case KeyKind::Lines:
        return "an array of at most 8 lines, each \"TEXT\" or { text = \"TEXT\", scroll = " +
               QuotedList(kScrollWords, " | ") + " }";
    case KeyKind::Charset:
        return "one of " + DisplayCharset::Names();
    case KeyKind::Brightness:
        return "a whole number from 1 to 4";
    case KeyKind::Banner:
        return "\"off\", \"plugin\" or an array of at most 8 texts";
    case KeyKind::Minutes:
        return "a number of minutes from 0 to 1440, a fraction allowed";
    case KeyKind::RestLines:
        return "an array of at most 8 texts";
    }
    return {};
}

void StoreValue(const ConfigKey& key, const toml::node& node, std::size_t setIndex,
                LumdConfig& config) {
    Settings& settings = config.Display;
    switch (key.Kind) {
    case KeyKind::Integer: {
        const SettingsField field = FieldOf(key, settings);
        *std::get<std::int32_t*>(field.Value) = NumberOf(key, node, field.Min, field.Max);
        break;
    }
    case KeyKind::Boolean:
        FieldValue<bool>(key, settings) = BooleanOf(key, node);
        break;
    case KeyKind::SwitchedOn:
        FieldValue<bool>(key, settings) = !BooleanOf(key, node);
        break;
    case KeyKind::DisplayText:
        FieldValue<std::string>(key, settings) = DisplayTextFromFile(TextOf(key, node));
        break;
    case KeyKind::OwnText:
        config.Own.*key.Own = TextOf(key, node);
        break;
    case KeyKind::Word:
        config.Own.*key.Own = key.Words[WordOf(key, node, key.Words)];
        break;
    case KeyKind::Baud: {
        const std::int32_t rate =
            node.is_integer() ? NumberOf(key, node, 0, std::numeric_limits<std::int32_t>::max())
                              : 0;
        const auto entry = std::ranges::find(kBaudRates, rate);
        if (entry == std::end(kBaudRates)) {
            Refuse(key, node);
        }
        FieldValue<std::int32_t>(key, settings) =
            static_cast<std::int32_t>(entry - std::begin(kBaudRates));
        break;
    }
    case KeyKind::InitByte: {
        // A number, or the plug-in's own text of one (it takes the low eight bits of any).
        const bool isText = node.is_string() && (node.as_string()->get().empty() ||
                                                 ParseDecimal(node.as_string()->get()));
        FieldValue<std::string>(key, settings) =
            isText ? node.as_string()->get() : std::to_string(NumberOf(key, node, 0, 255));
        break;
    }
    case KeyKind::Protocol: {
        const std::vector<std::string_view> words = ProtocolWords();
        config.ChooseProtocol(words[WordOf(key, node, words)]);
        break;
    }
    case KeyKind::CrWithBa63:
        if (BooleanOf(key, node) && !settings.Ba63Mode) {
            throw ValueProblem{"true applies only with display.protocol = \"ba63\""};
        }
        settings.SendCarriageReturn = settings.SendCarriageReturn || BooleanOf(key, node);
        break;
    case KeyKind::Lines:
        StoreLines(key, node, settings.Sets.at(setIndex));
        break;
    case KeyKind::Charset:
        config.Rules.Charset =
            node.is_string() ? DisplayCharset::Find(node.as_string()->get()) : nullptr;
        if (config.Rules.Charset == nullptr) {
            Refuse(key, node);
        }
        break;
    case KeyKind::Brightness:
        config.Rules.Brightness = NumberOf(key, node, 1, 4);
        break;
    case KeyKind::Banner:
        if (node.is_array()) {
            config.Rules.Banner = Overlay{TextLinesOf(key, node), true};
        } else {
            const std::string_view words[] = {"off", "plugin"};
            config.Rules.Banner = WordOf(key, node, words) == 0
                                      ? std::nullopt
                                      : std::optional<Overlay>(PluginBanner());
        }
        break;
    case KeyKind::Minutes: {
        const std::optional<double> minutes = node.value<double>();
        const std::optional<std::uint32_t> ms = minutes ? RestMilliseconds(*minutes) : std::nullopt;
        if (!ms) {
            Refuse(key, node);
        }
        config.Rules.*key.Minutes = *ms;
        break;
    }
    case KeyKind::RestLines:
        config.Rules.RestLines = TextLinesOf(key, node);
        break;
    }
}

KeyText ValueText(const ConfigKey& key, const LumdConfig& config, std::size_t setIndex) {
    const Settings& settings = config.Display;
    switch (key.Kind) {
    case KeyKind::Integer:
        return {std::to_string(FieldValue<std::int32_t>(key, settings))};
    case KeyKind::Boolean:
        return {FieldValue<bool>(key, settings) ? "true" : "false"};
    case KeyKind::SwitchedOn:
        return {FieldValue<bool>(key, settings) ? "false" : "true"};
    case KeyKind::DisplayText:
        return {QuotedDisplayText(FieldValue<std::string>(key, settings))};
    case KeyKind::OwnText:
    case KeyKind::Word:
        return {QuotedText(config.Own.*key.Own)};
    case KeyKind::Baud: {
        const std::int32_t index = FieldValue<std::int32_t>(key, settings);
        if (index < 0 || index >= static_cast<std::int32_t>(std::size(kBaudRates))) {
            return {std::to_string(kDefaultBaudRate), true};
        }
        return {std::to_string(kBaudRates[index])};
    }
    case KeyKind::InitByte: {
        const std::string text = FieldValue<std::string>(key, settings);
        const auto number = ParseDecimal(text);
        const bool plain =
            number && *number >= 0 && *number <= 255 && std::to_string(*number) == text;
        return {plain ? text : QuotedDisplayText(text)};
    }
    case KeyKind::Protocol:
        return {QuotedText(config.ProtocolName())};
    case KeyKind::CrWithBa63:
        return {settings.Ba63Mode && settings.SendCarriageReturn ? "true" : "false"};
    case KeyKind::Lines:
        return {LinesText(settings.Sets.at(setIndex))};
    case KeyKind::Charset:
        return {QuotedText(config.Rules.Charset->Name())};
    case KeyKind::Brightness:
        return {std::to_string(config.Rules.Brightness)};
    case KeyKind::Banner: {
        const std::optional<Overlay>& banner = config.Rules.Banner;
        return {!banner                    ? QuotedText("off")
                : banner == PluginBanner() ? QuotedText("plugin")
                                           : TextLinesText(banner->Lines)};
    }
    case KeyKind::Minutes:
        return {MinutesText(config.Rules.*key.Minutes)};
    case KeyKind::RestLines:
        return {TextLinesText(config.Rules.RestLines)};
    }
    return {};
}

bool IsSetArray(const toml::node& node) {
    const auto* array = node.as_array();
    return array != nullptr && (array->empty() || array->is_array_of_tables());
}

std::size_t SetsToWrite(const Settings& settings) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < settings.Sets.size(); ++i) {
        if (std::ranges::any_of(settings.Sets[i].Lines,
                                [](const LineSlot& line) { return !IsEmpty(line); })) {
            count = i + 1;
        }
    }
    return count;
}

void EmptySets(Settings& settings) {
    settings.Sets.fill(TextSet{});
}

std::string ValueForMessage(const toml::node& node) {
    if (const auto* text = node.as_string()) {
        const std::string& raw = text->get();
        const std::size_t kept = Utf8CutLength(raw, kMaxCut);
        return QuotedText(raw.substr(0, kept)) + (kept < raw.size() ? "..." : "");
    }
    if (node.is_array()) {
        return "an array";
    }
    if (node.is_table()) {
        return "a table";
    }
    std::ostringstream out;
    node.visit([&out](const auto& value) { out << value; });
    return out.str();
}

} // namespace lum::lumd
