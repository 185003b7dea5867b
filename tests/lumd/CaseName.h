#pragma once
// Names a parameterised test after its case's `Name`.

#include <gtest/gtest.h>
#include <string>

namespace lum::lumd {

/// The case's `Name` as the test's name.
struct CaseName {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& param) const {
        return param.param.Name;
    }
};

} // namespace lum::lumd
