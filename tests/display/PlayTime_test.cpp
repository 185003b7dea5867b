#include "display/PlayTime.h"

#include <gtest/gtest.h>

namespace lum {
namespace {

TEST(FormatPlayTime, Examples) {
    struct Case {
        std::int64_t ms;
        const char* text;
    };
    const Case cases[] = {
        {0, "00:00"},
        {499, "00:00"},
        {500, "00:00"},   // half to even: 0
        {1'500, "00:02"}, // half to even: 2
        {2'500, "00:02"}, // half to even: 2
        {2'501, "00:03"},
        {65'000, "01:05"},
        {3'599'999, "60:00"},
        {5'998'999, "99:59"},
        {5'999'000, "01h40"},
        {7'200'000, "02h00"},
        {360'300'000, "100h05"},
        {-1, "00:00"},
        {-501, "00:00"},
        {-1'499, "00:00"},
        {-360'300'000, "00:00"},
        {std::int64_t{2'147'483'647} * 1000, "596523h14"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatPlayTime(c.ms), c.text) << c.ms;
    }
}

} // namespace
} // namespace lum
