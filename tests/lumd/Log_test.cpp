#include "tools/lumd/Log.h"

#include <gtest/gtest.h>
#include <string>

namespace lum::lumd {
namespace {

TEST(LumdLog, EscapesControlCharactersAndMalformedUtf8AndKeepsTheRest) {
    const struct {
        const char* Given;
        const char* Logged;
    } kCases[] = {
        {"Stra\xC3\x9F"
         "e \xC3\xA4 \xE2\x82\xAC \xF0\x9F\x98\x80 \\x41",
         "Stra\xC3\x9F"
         "e \xC3\xA4 \xE2\x82\xAC \xF0\x9F\x98\x80 \\x41"},
        {"a\x1B[2Jb\r\x7F\t", "a\\x1B[2Jb\\x0D\\x7F\\x09"},
        {"\xC2\x85\xC2\x9F\xC2\xA0", "\\xC2\\x85\\xC2\\x9F\xC2\xA0"}, // C1 escaped, NBSP kept
        {"\xFF\xC3(\xE2\x82"
         "A\xED\xA0\x80",
         "\\xFF\\xC3(\\xE2\\x82A\\xED\\xA0\\x80"},
    };
    for (const auto& c : kCases) {
        std::string logged;
        Log log(LogLevel::Info, [&](LogLevel, std::string_view text) { logged = text; });
        log.Warning(c.Given);
        EXPECT_EQ(logged, c.Logged);
    }
}

} // namespace
} // namespace lum::lumd
