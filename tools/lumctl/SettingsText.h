#pragma once
// The settings file as text, one "Name=value" line per stored value in file order: integers in
// decimal, booleans true/false, texts in double quotes in the escaped form of EscapedText.h. Text
// typed between the escapes is the console's (UTF-8 on Linux) and is stored in Windows-1252; an
// escape \xHH is the byte itself.

#include "settings/Settings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lum::tools {

/// The text form of every stored value of `settings`.
[[nodiscard]] std::string SettingsToText(const Settings& settings);

/// Sets the value named in one "Name=value" assignment. Returns an explanation when the name is
/// unknown or the value is malformed or outside the field's range; nothing on success.
[[nodiscard]] std::optional<std::string> ApplyAssignment(Settings& settings,
                                                         std::string_view assignment);

/// Applies "Name=value" assignments in order, as `lumctl set` and `preview --set` take them.
/// Returns an explanation naming the first bad assignment, or a name given twice; `settings` may
/// then hold the assignments before it.
[[nodiscard]] std::optional<std::string>
ApplyAssignments(Settings& settings, const std::vector<std::string>& assignments);

/// Settings from a whole text: the start values, then each line's assignment. Empty lines and
/// lines starting with '#' are skipped; a value may be given once. Throws TextInputError naming
/// the line on the first bad line.
[[nodiscard]] Settings SettingsFromText(std::string_view text);

/// A bad line of settings text.
struct TextInputError {
    int Line = 0;
    std::string Message;
};

} // namespace lum::tools
