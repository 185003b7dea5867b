#include "tools/lumctl/SettingsText.h"

#include "common/Decimal.h"
#include "settings/SettingsFields.h"
#include "tools/common/EscapedText.h"
#include "tools/common/TextLines.h"

#include <set>
#include <type_traits>
#include <variant>

namespace lum::tools {
namespace {

std::optional<std::string> SetInteger(const SettingsField& field, std::int32_t& target,
                                      std::string_view text) {
    const auto value = ParseDecimal(text);
    if (!value) {
        return "'" + std::string(text) + "' is not a decimal integer";
    }
    if (field.Rule != IntegerRule::None && (*value < field.Min || *value > field.Max)) {
        return field.Name + " must lie between " + std::to_string(field.Min) + " and " +
               std::to_string(field.Max);
    }
    target = *value;
    return std::nullopt;
}

std::optional<std::string> SetString(std::string& target, std::string_view text) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') {
        return std::string("a text must stand in double quotes");
    }
    auto bytes = UnescapeText(text.substr(1, text.size() - 2));
    if (!bytes) {
        return std::string("malformed escape in the text (use \\\", \\\\ or \\xHH)");
    }
    target = std::move(*bytes);
    return std::nullopt;
}

std::optional<std::string> SetBoolean(bool& target, std::string_view text) {
    if (text == "true" || text == "false") {
        target = text == "true";
        return std::nullopt;
    }
    return "'" + std::string(text) + "' is neither true nor false";
}

std::string_view NameOf(std::string_view assignment) {
    return assignment.substr(0, assignment.find('='));
}

} // namespace

std::string SettingsToText(const Settings& settings) {
    Settings source = settings;
    std::string text;
    for (const auto& field : StoredFields(source)) {
        text += field.Name + "=";
        std::visit(
            [&text](auto* value) {
                using T = std::remove_pointer_t<decltype(value)>;
                if constexpr (std::is_same_v<T, std::int32_t>) {
                    text += std::to_string(*value);
                } else if constexpr (std::is_same_v<T, std::string>) {
                    text += '"' + EscapeText(*value) + '"';
                } else {
                    text += *value ? "true" : "false";
                }
            },
            field.Value);
        text += '\n';
    }
    return text;
}

std::optional<std::string> ApplyAssignment(Settings& settings, std::string_view assignment) {
    const auto equals = assignment.find('=');
    if (equals == std::string_view::npos) {
        return std::string("expected Name=value");
    }
    const auto name = assignment.substr(0, equals);
    const auto value = assignment.substr(equals + 1);
    for (const auto& field : StoredFields(settings)) {
        if (field.Name != name) {
            continue;
        }
        return std::visit(
            [&](auto* target) -> std::optional<std::string> {
                using T = std::remove_pointer_t<decltype(target)>;
                if constexpr (std::is_same_v<T, std::int32_t>) {
                    return SetInteger(field, *target, value);
                } else if constexpr (std::is_same_v<T, std::string>) {
                    return SetString(*target, value);
                } else {
                    return SetBoolean(*target, value);
                }
            },
            field.Value);
    }
    return "unknown value name '" + std::string(name) + "'";
}

Settings SettingsFromText(std::string_view text) {
    Settings settings;
    std::set<std::string, std::less<>> seen;
    int lineNumber = 0;
    for (const auto line : SplitLines(text)) {
        ++lineNumber;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (auto problem = ApplyAssignment(settings, line)) {
            throw TextInputError{lineNumber, std::move(*problem)};
        }
        if (!seen.emplace(NameOf(line)).second) {
            throw TextInputError{lineNumber, std::string(NameOf(line)) + " is given twice"};
        }
    }
    return settings;
}

} // namespace lum::tools
