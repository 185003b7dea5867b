#pragma once
// Helpers shared by the settings tests.

#include "common/LumError.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace lum {

/// The reader's messages as the tests compare them.
inline const std::string kStreamReadError(messages::kStreamReadError);
inline const std::string kStreamWriteError(messages::kStreamWriteError);
/// "Ungültiger Wert der Eigenschaft" in Windows-1252: ü is the single byte 0xFC.
inline const std::string kInvalidValue = "Ung\xFC"
                                         "ltiger Wert der Eigenschaft";

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
