#pragma once
// Helpers shared by the settings tests.

#include "common/LumError.h"
#include "settings/Settings.h"
#include "settings/SettingsFields.h"

#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <variant>

namespace lum {

/// The reader's messages as the tests compare them.
inline const std::string kStreamReadError(messages::kStreamReadError);
inline const std::string kStreamWriteError(messages::kStreamWriteError);
/// "Ungültiger Wert der Eigenschaft" in Windows-1252: ü is the single byte 0xFC.
inline const std::string kInvalidValue = "Ung\xFC"
                                         "ltiger Wert der Eigenschaft";

/// Prints a record as its stored fields, so that a failed comparison shows them by name.
inline void PrintTo(const Settings& settings, std::ostream* out) {
    Settings copy = settings;
    for (const SettingsField& field : StoredFields(copy)) {
        std::visit(
            [&](auto* value) { *out << field.Name << '=' << testing::PrintToString(*value); },
            field.Value);
        *out << ' ';
    }
}

/// Names a parameterised test after its case's `name`.
struct CaseName {
    template <typename Case>
    std::string operator()(const testing::TestParamInfo<Case>& param) const {
        return param.param.name;
    }
};

/// The message of the LumError `action` raises, or "(no error)".
inline std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const LumError& error) {
        return error.what();
    }
    return "(no error)";
}

} // namespace lum
