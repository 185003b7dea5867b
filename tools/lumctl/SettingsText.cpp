#include "tools/lumctl/SettingsText.h"

#include "common/Decimal.h"
#include "settings/SettingsFields.h"
#include "tools/common/EscapedText.h"
#include "tools/common/TextLines.h"

#include <limits>
#include <set>
#include <type_traits>
#include <variant>

namespace lum::tools {
namespace {

std::string Quoted(std::string_view text) {
    return "'" + EscapeText(text) + "'";
}

// An optional sign and at least one digit: a number, though perhaps one too large for any integer.
bool IsWrittenAsInteger(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        text.remove_prefix(1);
    }
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<std::string> SetInteger(const SettingsField& field, std::int32_t& target,
                                      std::string_view text) {
    const bool ranged = field.Rule != IntegerRule::None;
    const std::int32_t min = ranged ? field.Min : std::numeric_limits<std::int32_t>::min();
    const std::int32_t max = ranged ? field.Max : std::numeric_limits<std::int32_t>::max();
    const auto value = ParseDecimal(text);
    if (!value && !IsWrittenAsInteger(text)) {
        return Quoted(text) + " is not a decimal integer";
    }
    if (!value || *value < min || *value > max) {
        return field.Name + " must lie between " + std::to_string(min) + " and " +
               std::to_string(max);
    }
    target = *value;
    return std::nullopt;
}

std::optional<std::string> SetString(std::string& target, std::string_view text) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') {
        return std::string("a text must stand in double quotes");
    }
    auto bytes = UnescapeConsoleText(text.substr(1, text.size() - 2));
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
    return Quoted(text) + " is neither true nor false";
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
    return "unknown value name " + Quoted(name);
}

std::optional<std::string> ApplyAssignments(Settings& settings,
                                            const std::vector<std::string>& assignments) {
    std::set<std::string_view> seen;
    for (const std::string& assignment : assignments) {
        if (auto problem = ApplyAssignment(settings, assignment)) {
            return EscapeText(assignment) + ": " + *problem;
        }
        if (!seen.insert(NameOf(assignment)).second) {
            return EscapeText(NameOf(assignment)) + " is given twice";
        }
    }
    return std::nullopt;
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
            throw TextInputError{lineNumber, EscapeText(NameOf(line)) + " is given twice"};
        }
    }
    return settings;
}

} // namespace lum::tools
