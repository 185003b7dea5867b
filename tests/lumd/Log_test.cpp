#include "tools/lumd/Log.h"

#include <gtest/gtest.h>
#include <string>

namespace lum::lumd {
namespace {

TEST(LumdLog, EscapesControlCharactersAndMalformedUtf8AndKeepsOtherText) {
    std::string logged;
    Log log(LogLevel::Info, [&](LogLevel, std::string_view text) { logged = text; });
    // Umlaut, euro sign, DEL, TAB, C1 NEL, no-break space, a stray byte, a cut sequence.
    log.Warning("\xC3\xA4\xE2\x82\xAC\x7F\t\xC2\x85\xC2\xA0\xFF\xE2\x82"
                "A");
    EXPECT_EQ(logged, "\xC3\xA4\xE2\x82\xAC\\x7F\\x09\\xC2\\x85\xC2\xA0\\xFF\\xE2\\x82"
                      "A");
}

} // namespace
} // namespace lum::lumd
