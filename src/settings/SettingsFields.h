#pragma once
// The 79 stored values of the Settings, in the order of the settings file, with their names and
// the rule that maps a value read from the file into the Settings. The file codec, the loader's
// mapping and the settings tool all walk this one list.

#include "settings/Settings.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace lum {

/// How an integer read from the settings file is stored into the Settings.
enum class IntegerRule {
    None,      ///< not an integer field
    Clamp,     ///< clamped into [Min, Max]
    ListIndex, ///< the index of a list entry: outside [Min, Max] means no entry, stored as -1
};

/// A stored value: where it lives in a Settings record, its name, and its mapping rule.
struct SettingsField {
    std::string Name; ///< e.g. "ComPort", "Set2.Line5.Template"
    std::variant<std::int32_t*, std::string*, bool*> Value;
    IntegerRule Rule = IntegerRule::None;
    std::int32_t Min = 0;
    std::int32_t Max = 0;
};

/// The stored values of `settings`, in file order, pointing into `settings`.
[[nodiscard]] std::vector<SettingsField> StoredFields(Settings& settings);

/// The value an integer read from the file takes in the Settings under `field`'s rule.
[[nodiscard]] std::int32_t MapLoadedInteger(const SettingsField& field, std::int32_t asRead);

} // namespace lum
