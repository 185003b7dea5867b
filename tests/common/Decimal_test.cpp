#include "common/Decimal.h"

#include <gtest/gtest.h>

namespace lum {
namespace {

TEST(Decimal, AcceptsOneSignAndDigitsWithin32Bits) {
    const struct {
        const char* Text;
        std::optional<std::int32_t> Expected;
    } cases[] = {
        {"0", 0},
        {"20", 20},
        {"+20", 20},
        {"-1", -1},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"+-1", std::nullopt},
        {"--1", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"0x14", std::nullopt},
        {"1e3", std::nullopt},
        {"12a", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseDecimal(c.Text), c.Expected) << '"' << c.Text << '"';
    }
}

} // namespace
} // namespace lum
