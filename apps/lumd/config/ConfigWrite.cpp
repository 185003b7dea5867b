#include "apps/lumd/config/ConfigWrite.h"

#include "apps/lumd/config/ConfigSchema.h"
#include "apps/lumd/config/KeyValues.h"

namespace lum::lumd {
namespace {

constexpr std::size_t kCommentWidth = 100;

/// What a key means and takes: "Characters per line; a whole number from 8 to 80."
std::string KeyComment(const ConfigKey& key) {
    std::string meaning(key.Meaning);
    if (meaning.ends_with('.')) {
        meaning.pop_back();
    }
    const bool text = key.Kind == KeyKind::DisplayText || key.Kind == KeyKind::OwnText;
    return text ? meaning + "." : meaning + "; " + AllowedValues(key) + ".";
}

/// "name = value", with every line commented when `commented`.
std::string Assignment(std::string_view name, const std::string& value, bool commented) {
    std::string text = std::string(name) + " = " + value;
    if (!commented) {
        return text + "\n";
    }
    std::string lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines += "#" + text.substr(start, end - start) + "\n";
        start = end + 1;
    }
    return lines;
}

void WriteKey(std::string& out, const ConfigKey& key, const LumdConfig& config, WriteStyle style,
              std::size_t setIndex) {
    const KeyText value = ValueText(key, config, setIndex);
    const bool own = key.Field.empty();
    out += CommentLines(KeyComment(key));
    out += Assignment(key.Name, value.Text, style == WriteStyle::Example || own || value.LeftOut);
}

} // namespace

std::string CommentLines(std::string_view text) {
    std::string lines;
    std::string line = "#";
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        const std::string_view word = text.substr(start, end - start);
        if (line.size() > 1 && line.size() + 1 + word.size() > kCommentWidth) {
            lines += line + "\n";
            line = "#";
        }
        line += " " + std::string(word);
        start = end + 1;
    }
    return lines + line + "\n";
}

std::string WriteConfig(const LumdConfig& config, WriteStyle style, std::string_view heading) {
    std::string out = CommentLines(heading);
    for (const ConfigSection& section : kConfigSections) {
        out += "\n" + CommentLines(section.Meaning);
        if (!section.IsArray) {
            out += "[" + std::string(section.Name) + "]\n";
            for (const ConfigKey& key : kConfigKeys) {
                if (key.Section == section.Name) {
                    WriteKey(out, key, config, style, 0);
                }
            }
            continue;
        }
        // The text sets: an example shows the sets it has as comments; an export gives every set
        // up to the last that holds a line, and says so with an empty array when none does.
        const std::size_t sets = SetsToWrite(config.Display);
        const bool commented = style == WriteStyle::Example;
        if (sets == 0) {
            out += Assignment(section.Name, "[]", commented);
        }
        for (std::size_t set = 0; set < sets; ++set) {
            out += std::string(commented ? "#" : "") + "[[" + std::string(section.Name) + "]]\n";
            for (const ConfigKey& key : kConfigKeys) {
                if (key.Section == section.Name) {
                    out += set == 0 ? CommentLines(KeyComment(key)) : "";
                    out += Assignment(key.Name, ValueText(key, config, set).Text, commented);
                }
            }
        }
    }
    return out;
}

} // namespace lum::lumd
